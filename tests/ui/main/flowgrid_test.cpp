#include "ui/main/flowgrid.h"

#include "flowengine/archive_fixture.h"

#include <QHeaderView>
#include <QImage>
#include <QTableWidget>
#include <tuple>

using namespace flowengine;
using namespace uimain;

namespace {

class FlowGrid : public ArchiveTest {
protected:
    FlowGrid() { addDeclarant("SPED1", "Spedizioni Rossi"); }

    // Each row's six texts and its icon key, joined by "|".
    QStringList shown() const
    {
        QStringList rows;
        for (int r = 0; r < grid.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < 6; ++c)
                cells << grid.item(r, c)->text();
            cells << grid.item(r, 6)->data(RuoloChiave).toString();
            rows << cells.join(u'|');
        }
        return rows;
    }
    QStringList headers() const
    {
        QStringList h;
        for (int c = 0; c < grid.columnCount(); ++c)
            h << grid.horizontalHeaderItem(c)->text();
        return h;
    }
    // Where the grid paints a cell's picture: the box of the cell's pixels
    // that differ from its background, in viewport coordinates; null when
    // nothing is drawn over the background.
    QRect drawn(int row, int col)
    {
        const QRect cell = grid.visualItemRect(grid.item(row, col));
        const QImage image = grid.viewport()->grab().toImage();
        const QRgb background = grid.palette().base().color().rgb();
        QRect box;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                if (image.pixel(x, y) != background)
                    box |= QRect(x, y, 1, 1);
        return box;
    }
    void fill()
    {
        ASSERT_TRUE(CaricaGriglia(&grid, 3));
        ImpostaGriglia(&grid, 3);
    }

    QTableWidget grid;
};

}  // namespace

TEST_F(FlowGrid, RowsComeNewestDayFirstThenHighestNumberWithTextsAndIcons)
{
    addFlow(3, QDate(2024, 3, 5), 1, 1, 1, "SPED1");
    addFlow(3, QDate(2024, 3, 5), 12, 1, 2, "SPED1");
    addFlow(3, QDate(2024, 3, 6), 2, 5, 2, "SPED1", {}, {}, {}, 3, 0, 1);
    addFlow(3, QDate(2024, 3, 4), 3, 4, 2, "SPED1", {}, {}, {}, 2, 1, 0);  // counters hidden before state 5
    addFlow(3, QDate(2024, 3, 3), 4, 9, 2, "NESSUNO");                    // a state without icon
    addFlow(4, QDate(2024, 3, 4), 3, 0, 0, "SPED1");                     // an answer row is not listed
    fill();
    EXPECT_EQ(shown(), (QStringList{
                           "06/03/24|2|Spedizioni Rossi|3|0|1|GRNCHECK",
                           "05/03/24|12|Spedizioni Rossi||||RTARWWHT",
                           "05/03/24|1|Spedizioni Rossi||||FLOPPY",
                           "04/03/24|3|Spedizioni Rossi||||CRITICAL",
                           "03/03/24|4|||||",
                       }));
    EXPECT_EQ(headers(), (QStringList{"Data", "Numero", "Mittente", "OK", "KO", "ND", "?"}));

    // The icon is drawn by the view, centred, from the image list; a state
    // without one shows nothing.
    for (int r = 0; r < grid.rowCount(); ++r)
        EXPECT_EQ(grid.cellWidget(r, 6), nullptr) << r;
    EXPECT_EQ(grid.item(0, 6)->data(RuoloImmagine).value<QIcon>().pixmap(16, 16).toImage(), ImmagineElenco("GRNCHECK").pixmap(16, 16).toImage());
    EXPECT_EQ(grid.item(2, 6)->data(RuoloImmagine).value<QIcon>().pixmap(16, 16).toImage(), ImmagineElenco("FLOPPY").pixmap(16, 16).toImage());
    EXPECT_TRUE(grid.item(4, 6)->data(RuoloImmagine).value<QIcon>().isNull());
    grid.resize(400, 300);
    grid.show();
    const QRect cell = grid.visualItemRect(grid.item(0, 6));
    const QRect picture = drawn(0, 6);
    ASSERT_TRUE(picture.isValid());
    EXPECT_LE(std::abs(picture.center().y() - cell.center().y()), 1) << "centred top to bottom";
    EXPECT_LE(std::abs(picture.center().x() - cell.center().x()), 1) << "centred left to right";
    EXPECT_FALSE(drawn(4, 6).isValid());

    // Each row keeps the register row as the fill read it, its key included.
    for (const auto &[riga, data, numero] : {std::tuple{0, QDate(2024, 3, 6), 2}, std::tuple{1, QDate(2024, 3, 5), 12}}) {
        DatiCorbex flow;
        ASSERT_TRUE(FlussoRigaGriglia(&grid, riga, flow)) << riga;
        DatiCorbex stored;
        stored.Data = data;
        stored.Posizione = 3;
        stored.Progressivo = numero;
        ASSERT_FALSE(CaricaCorbex(stored));
        EXPECT_EQ(flow, stored) << riga;
        EXPECT_EQ(flow.FattoDa, "SPED1") << riga;
    }
    DatiCorbex flow;
    EXPECT_FALSE(FlussoRigaGriglia(&grid, 5, flow));
}

TEST_F(FlowGrid, TheSenderColumnNarrowsFromSevenGridRows)
{
    struct Case {
        int flows;
        int twips;
    };
    for (const Case c : {Case{0, 1980}, Case{5, 1980}, Case{6, 1740}, Case{7, 1740}}) {
        db.execute("DELETE * FROM Corbix");
        for (int n = 1; n <= c.flows; ++n)
            addFlow(3, QDate(2024, 3, 5), n, 1, 2, "SPED1");
        fill();
        EXPECT_EQ(grid.rowCount(), c.flows) << "the header is the grid's own";
        EXPECT_EQ(LarghezzaColonna(2, c.flows + 1), c.twips);
        EXPECT_EQ(grid.columnWidth(2), c.twips / 15) << c.flows;
    }
    const int widths[] = {1000, 850, 1740, 400, 400, 400, 240};
    for (int col = 0; col < 7; ++col)
        EXPECT_EQ(grid.columnWidth(col), qRound(widths[col] / 15.0)) << col;
}

TEST_F(FlowGrid, OtherListsLeaveTheGridAsItWas)
{
    addFlow(4, QDate(2024, 3, 5), 1, 0, 0, "SPED1");
    grid.setColumnCount(2);
    grid.setRowCount(1);
    grid.setItem(0, 0, new QTableWidgetItem("prima"));
    EXPECT_TRUE(CaricaGriglia(&grid, 4));
    ImpostaGriglia(&grid, 4);
    EXPECT_EQ(grid.columnCount(), 2);
    EXPECT_EQ(grid.item(0, 0)->text(), "prima");
}

TEST_F(FlowGrid, ADatabaseErrorLeavesTheGridAsItWasAndIsShown)
{
    addFlow(3, QDate(2024, 3, 5), 1, 1, 2, "SPED1");
    fill();
    common::PercorsoArchivio = "C:\\Manca.mdb";
    EXPECT_FALSE(CaricaGriglia(&grid, 3));
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.item(0, 1)->text(), "1");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Corbix doganali");
    EXPECT_EQ(boxes.shown[0].icon, platform::MsgIcon::Critical);
    EXPECT_TRUE(boxes.shown[0].text.startsWith("Errore di Run-time 3024\r\n")) << boxes.shown[0].text.toStdString();
}
