// Draws the small status pictures of the list of flows into a folder, one
// 16 x 16 PNG per key, the application's 32 x 32 window icon CORBIX.png
// into another, and with a third folder the same icon at the sizes desktops
// show, as an icon theme lays them out (16x16/apps/corbix.png, ...):
// corbix-draw-icons LIST_FOLDER WINDOW_FOLDER [DESKTOP_FOLDER]. The pictures
// in flowengine/icons, ui/main/icons and app/icons were made with it.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <functional>

namespace {

constexpr int Size = 16;
constexpr int WindowIconSize = 32;
constexpr int DesktopIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

void arrow(QPainter &p, const QColor &fill)
{
    QPainterPath path;
    path.moveTo(2, 6);
    path.lineTo(8, 6);
    path.lineTo(8, 2);
    path.lineTo(14, 8);
    path.lineTo(8, 14);
    path.lineTo(8, 10);
    path.lineTo(2, 10);
    path.closeSubpath();
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(fill);
    p.drawPath(path);
}

void check(QPainter &p, const QColor &colour)
{
    p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
}

void floppy(QPainter &p)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(40, 60, 160));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 9.5, 9, 5));
}

void critical(QPainter &p)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(220, 0, 0));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
    p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
}

// A sheet of declarations leaving as a flow: the window icon.
void application(QPainter &p)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 1.5, 20, 27));
    p.setPen(QPen(QColor(40, 60, 160), 2));
    for (int y = 7; y <= 22; y += 5)
        p.drawLine(QPointF(7, y), QPointF(20, y));
    p.scale(1.25, 1.25);
    p.translate(10, 10);
    arrow(p, QColor(0, 170, 0));
}

// Each picture is drawn on a square of `drawn` units, scaled to `size` pixels.
bool save(QTextStream &err, const QDir &folder, const QString &name, int size, int drawn,
          const std::function<void(QPainter &)> &draw)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(double(size) / drawn, double(size) / drawn);
    draw(p);
    p.end();
    const QString file = folder.filePath(name);
    if (QDir().mkpath(QFileInfo(file).absolutePath()) && image.save(file))
        return true;
    err << "Impossibile scrivere " << file << "\n";
    return false;
}

}  // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 2 && args.size() != 3) {
        err << "Uso: corbix-draw-icons CARTELLA_ELENCO CARTELLA_FINESTRE [CARTELLA_DESKTOP]\n";
        return 2;
    }
    const QDir folder(args[0]);
    const std::pair<const char *, std::function<void(QPainter &)>> icons[] = {
        {"FLOPPY", floppy},
        {"RTARWWHT", [](QPainter &p) { arrow(p, Qt::white); }},
        {"RTARWGRN", [](QPainter &p) { arrow(p, QColor(0, 170, 0)); }},
        {"REDCHECK", [](QPainter &p) { check(p, QColor(220, 0, 0)); }},
        {"CRITICAL", critical},
        {"GRNCHECK", [](QPainter &p) { check(p, QColor(0, 150, 0)); }},
    };
    for (const auto &[key, draw] : icons)
        if (!save(err, folder, QString::fromLatin1(key) + QStringLiteral(".png"), Size, Size, draw))
            return 1;
    if (!save(err, QDir(args[1]), QStringLiteral("CORBIX.png"), WindowIconSize, WindowIconSize, application))
        return 1;
    if (args.size() == 3)
        for (const int size : DesktopIconSizes)
            if (!save(err, QDir(args[2]), QStringLiteral("%1x%1/apps/corbix.png").arg(size), size, WindowIconSize,
                      application))
                return 1;
    return 0;
}
