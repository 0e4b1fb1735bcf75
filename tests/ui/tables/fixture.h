#pragma once

#include "common/frmmirsomsg.h"
#include "flowengine/archive_fixture.h"
#include "platform/clock.h"
#include "platform/twips.h"
#include "support/asuser.h"
#include "support/doubles/fakeclock.h"
#include "support/doubles/recordingthreebuttondialog.h"
#include "ui/main/screen.h"
#include "ui/tables/tablescreen.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <memory>
#include <vector>

using testsupport::clickAsUser;
using testsupport::keyClickAsUser;
using testsupport::keyClicksAsUser;
using uitables::Modo;
using uitables::ModoAggiunta;
using uitables::ModoConsultazione;
using uitables::ModoInattivo;
using uitables::ModoModifica;
using uitables::ModoRicerca;

// Records the lookups a table screen opens in place of showing them.
class RecordingTableOpener : public uitables::TableOpener {
public:
    struct Call {
        QString form;
        QString tag;
        bool operator==(const Call &) const = default;
    };
    void apri(const QString &form, QWidget *, const QString &tag) override { calls.push_back({form, tag}); }
    std::vector<Call> calls;
};

inline void PrintTo(const RecordingTableOpener::Call &call, std::ostream *out)
{
    *out << call.form.toStdString() << " [" << call.tag.toStdString() << "]";
}

inline void PrintTo(const platform::Message &m, std::ostream *out)
{
    *out << '{' << m.text.toStdString() << " | " << m.title.toStdString() << " | icon " << int(m.icon) << " | buttons "
         << int(m.buttons) << " | default " << m.defaultButton << '}';
}

// The archive C:\Archivio.mdb, recorded message boxes, code-check dialogs
// and lookups, and a clock that never waits.
class TablesTest : public ArchiveTest {
protected:
    TablesTest() : clockGuard_(clock), dialogGuard_(dialogs), openerGuard_(opener) {}

    // A screen opened as its opener does, with its Tag, shown and made the
    // active window, so that focus moves are real.
    template <class Screen>
    std::unique_ptr<Screen> apri(const QString &tag)
    {
        auto w = std::make_unique<Screen>();
        w->Tag = tag;
        w->show();
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
        return w;
    }

    // A field entered by a click and left by Tab, as the user does.
    static void esci(QWidget *campo)
    {
        QTest::mouseClick(campo, Qt::LeftButton);
        keyClickAsUser(campo, Qt::Key_Tab);
    }

    // A text typed into a field at its caret, as the keyboard puts it.
    static void digita(QLineEdit *campo, const QString &testo) { campo->insert(testo); }

    static QColor colore(const QWidget *w) { return w->palette().color(QPalette::Base); }
    static QColor finestra() { return QApplication::palette().color(QPalette::Base); }
    static QColor rosso() { return QColor(255, 0, 0); }
    static QColor cyan() { return QColor(0, 255, 255); }
    static QColor giallo() { return QColor(255, 255, 0); }

    // One field of a screen typed afresh and left: the text it then shows and
    // whether it is valid (the window colour) or not (red).
    template <class Screen>
    struct CasoCampo {
        QLineEdit *Screen::*campo;
        const char *digitato;
        const char *mostrato;
        bool valido;
    };
    template <class Screen>
    static void verificaCampi(Screen &w, const std::vector<CasoCampo<Screen>> &casi)
    {
        for (const CasoCampo<Screen> &c : casi) {
            QLineEdit *field = w.*c.campo;
            field->clear();
            digita(field, QString::fromUtf8(c.digitato));
            esci(field);
            EXPECT_EQ(field->text(), QString::fromUtf8(c.mostrato)) << c.digitato;
            EXPECT_EQ(colore(field), c.valido ? finestra() : rosso()) << c.digitato;
        }
    }

    // Whether a control is out of view below the form.
    static bool fuoriVista(const QWidget *w) { return w->y() >= w->parentWidget()->height() && !w->isEnabled(); }
    // The slot (1 to 6) of a control on the button row.
    static int slot(const uitables::TableScreen &w, const QWidget *c)
    {
        for (int k = 1; k <= 6; ++k)
            if (c->x() == platform::twips(k * w.Margine + (k - 1) * w.LarghezzaPulsante))
                return k;
        return 0;
    }

    static platform::Message info(const QString &text, const QString &title)
    {
        return {text, title, platform::MsgIcon::Information, platform::MsgButtons::OK, 1};
    }
    static platform::Message conferma(const QString &title)
    {
        return {QStringLiteral("Confermare la cancellazione del record correntemente visualizzato ?"), title,
                platform::MsgIcon::Information, platform::MsgButtons::YesNo, 1};
    }

    int conta(const QString &sql, const QVariantList &values = {})
    {
        auto rs = db.openRecordset(sql, values);
        return rs->recordCount();
    }

    platform::FakeClock clock;
    common::RecordingThreeButtonDialogService dialogs;
    RecordingTableOpener opener;

private:
    platform::ScopedClock clockGuard_;
    common::ScopedThreeButtonDialogService dialogGuard_;
    uitables::ScopedTableOpener openerGuard_;
};
