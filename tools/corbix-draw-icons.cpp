// Draws the small status pictures of the list of flows into a folder, one
// 16 x 16 PNG per key: corbix-draw-icons FOLDER. The pictures in
// flowengine/icons were made with it.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <functional>

namespace {

constexpr int Size = 16;

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

}  // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 1) {
        err << "Uso: corbix-draw-icons CARTELLA\n";
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
    for (const auto &[key, draw] : icons) {
        QImage image(Size, Size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
        p.end();
        const QString file = folder.filePath(QString::fromLatin1(key) + QStringLiteral(".png"));
        if (!image.save(file)) {
            err << "Impossibile scrivere " << file << "\n";
            return 1;
        }
    }
    return 0;
}
