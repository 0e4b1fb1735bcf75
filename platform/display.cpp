#include "platform/display.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <dlfcn.h>

namespace platform {

namespace {

// Qt's options that take the next argument as their value.
const QStringList ConValore = {
    QStringLiteral("platform"),      QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
    QStringLiteral("plugin"),        QStringLiteral("qwindowgeometry"),    QStringLiteral("geometry"),
    QStringLiteral("qwindowtitle"),  QStringLiteral("title"),              QStringLiteral("qwindowicon"),
    QStringLiteral("icon"),          QStringLiteral("session"),            QStringLiteral("display"),
    QStringLiteral("name"),          QStringLiteral("visual"),             QStringLiteral("style"),
    QStringLiteral("stylesheet")};
// Those that stand alone.
const QStringList Semplici = {QStringLiteral("reverse"), QStringLiteral("testability"), QStringLiteral("nograb"),
                              QStringLiteral("dograb"), QStringLiteral("widgetcount")};
// Those whose value follows "=" in the same argument.
const QStringList ConUguale = {QStringLiteral("style="), QStringLiteral("stylesheet="),
                               QStringLiteral("qmljsdebugger=")};

// The option's name without its one or two "-"; empty for no option.
QString nomeOpzione(const QString &argomento)
{
    if (argomento.startsWith(QStringLiteral("--")))
        return argomento.mid(2);
    if (argomento.startsWith(u'-'))
        return argomento.mid(1);
    return QString();
}

// The value of "-platform" as Qt reads it: the last one given.
QString piattaformaDagliArgomenti(const QStringList &argomenti)
{
    QString piattaforma;
    for (qsizetype i = 0; i + 1 < argomenti.size(); ++i)
        if (nomeOpzione(argomenti[i]) == QLatin1String("platform"))
            piattaforma = argomenti[++i];
    return piattaforma;
}

// A display server's client library, loaded for the check only: a machine
// without it has no display of that kind either, as Qt's platform would not
// load.
class Libreria {
public:
    explicit Libreria(const char *nome) : handle_(::dlopen(nome, RTLD_NOW | RTLD_LOCAL)) {}
    ~Libreria()
    {
        if (handle_)
            ::dlclose(handle_);
    }
    Libreria(const Libreria &) = delete;
    Libreria &operator=(const Libreria &) = delete;

    template <typename Funzione>
    Funzione funzione(const char *nome) const
    {
        return handle_ ? reinterpret_cast<Funzione>(::dlsym(handle_, nome)) : nullptr;
    }

private:
    void *handle_;
};

bool xRisponde(const QByteArray &schermo)
{
    if (schermo.isEmpty())
        return false;
    const Libreria xcb("libxcb.so.1");
    const auto connetti = xcb.funzione<void *(*)(const char *, int *)>("xcb_connect");
    const auto errore = xcb.funzione<int (*)(void *)>("xcb_connection_has_error");
    const auto chiudi = xcb.funzione<void (*)(void *)>("xcb_disconnect");
    if (!connetti || !errore || !chiudi)
        return false;
    // A connection that failed is an object all the same, to be freed.
    void *connessione = connetti(schermo.constData(), nullptr);
    const bool ok = connessione && errore(connessione) == 0;
    if (connessione)
        chiudi(connessione);
    return ok;
}

bool waylandRisponde()
{
    if (!qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return false;
    const Libreria wayland("libwayland-client.so.0");
    const auto connetti = wayland.funzione<void *(*)(const char *)>("wl_display_connect");
    const auto chiudi = wayland.funzione<void (*)(void *)>("wl_display_disconnect");
    if (!connetti || !chiudi)
        return false;
    void *connessione = connetti(nullptr);
    if (connessione)
        chiudi(connessione);
    return connessione != nullptr;
}

}  // namespace

bool SoloOpzioniQt(const QStringList &argomenti)
{
    for (qsizetype i = 0; i < argomenti.size(); ++i) {
        const QString nome = nomeOpzione(argomenti[i]);
        if (nome.isEmpty())
            return false;
        if (ConValore.contains(nome)) {
            if (++i >= argomenti.size())
                return false;
        } else if (!Semplici.contains(nome)
                   && std::none_of(ConUguale.begin(), ConUguale.end(),
                                   [&nome](const QString &p) { return nome.startsWith(p) && nome.size() > p.size(); })) {
            return false;
        }
    }
    return true;
}

bool SchermoRaggiungibile(const QStringList &argomenti)
{
    QString nomi = piattaformaDagliArgomenti(argomenti);
    if (nomi.isEmpty())
        nomi = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (nomi.isEmpty())
        nomi = qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ? QStringLiteral("wayland;xcb")
                                                                                    : QStringLiteral("xcb");
    // Qt tries the platforms of a list in turn; each may carry its options
    // after ":".
    for (const QString &voce : nomi.split(u';', Qt::SkipEmptyParts)) {
        const QString nome = voce.section(u':', 0, 0);
        if (nome == QLatin1String("xcb")) {
            QString schermo = qEnvironmentVariable("DISPLAY");
            for (qsizetype i = 0; i + 1 < argomenti.size(); ++i)
                if (nomeOpzione(argomenti[i]) == QLatin1String("display"))
                    schermo = argomenti[++i];
            if (xRisponde(schermo.toLocal8Bit()))
                return true;
        } else if (nome == QLatin1String("wayland")) {
            if (waylandRisponde())
                return true;
        } else {
            // A platform that needs no display server (offscreen, vnc, ...):
            // Qt judges it itself.
            return true;
        }
    }
    return false;
}

}  // namespace platform
