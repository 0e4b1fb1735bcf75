#include "compose_fixture.h"
#include "platform/qtmessagebox.h"
#include "platform/twips.h"
#include "support/otherprogram.h"

#include "support/asuser.h"
#include "ui/main/folderchooser.h"
#include "ui/main/frmcomposenew.h"
#include "ui/main/frmfaicorbex.h"
#include "ui/main/screen.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTableWidget>
#include <QTest>
#include <QKeyEvent>
#include <QTextEdit>
#include <QTimer>
#include <QWheelEvent>

using namespace uimain;
using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;
using platform::twips;
using testsupport::clickAsUser;
using testsupport::keyClickAsUser;

namespace {

// A key pressed on a widget.
void press(QWidget *w, Qt::Key key)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Space ? QStringLiteral(" ") : QString());
    QApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &up);
}

const QString kNone = QStringLiteral("Non vi sono dichiarazioni che soddisfano la ricerca desiderata");

class Wizard : public ComposeTest {
protected:
    std::unique_ptr<frmComposeNew> open()
    {
        auto w = std::make_unique<frmComposeNew>();
        w->show();
        return w;
    }
    // Step 1 done with the declarant and the boxes named, then "&Avanti >>".
    std::unique_ptr<frmComposeNew> searched(const QString &declarant, std::initializer_list<const char *> boxes)
    {
        auto w = open();
        w->cmbDichiarante->setCurrentIndex(w->cmbDichiarante->findText(declarant));
        for (const char *name : boxes)
            w->findChild<QCheckBox *>(QString::fromLatin1(name))->setChecked(true);
        clickAsUser(w->cmdNextEnd);
        return w;
    }
    QStringList gridRows(const frmComposeNew &w) const
    {
        QStringList out;
        for (int r = 0; r < w.grdListaDich->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < 5; ++c)
                cells << w.grdListaDich->item(r, c)->text();
            out << cells.join(u'|');
        }
        return out;
    }
    // Which of the floating boxes 0 to 7 show, and their values: "1", "0" or "-" when out of sight.
    QString boxes(const frmComposeNew &w) const
    {
        QString out;
        for (int i = 0; i < 8; ++i) {
            const QCheckBox *b = w.chkVirtualCheck[size_t(i)];
            out += !b->isVisible() ? u'-' : b->isChecked() ? u'1' : u'0';
        }
        return out;
    }
    QColor base(const QWidget *w) const { return w->palette().color(QPalette::Base); }
    QColor window() const { return QApplication::palette().color(QPalette::Base); }
    // Declaration 1 copied as 100 onwards, in two statements however many.
    void manyCopiesOfDeclaration1(int copies)
    {
        for (const char *sql : {"INSERT INTO IndiceDoc SELECT Indice + n.k, Data, CodiceDoc, Stato1, ultimadata FROM "
                                "IndiceDoc, n WHERE Indice = 1",
                                "INSERT INTO DettaglioBol SELECT Indice + n.k, Data, Articolo, Modulo, Campo, "
                                "SottoCasella, Riga, Contenuto, MaxLung, Corretto, Gestito, Controllato FROM "
                                "DettaglioBol, n WHERE Indice = 1"})
            execute(QStringLiteral("WITH RECURSIVE n(k) AS (SELECT 99 UNION ALL SELECT k + 1 FROM n WHERE k < %1) ")
                        .arg(98 + copies)
                    + QString::fromLatin1(sql));
    }
    // The boxes as the user sees them over the grid: every row wholly in the
    // grid's view, its selection cell not cut sideways, carries one box at
    // the centre of that cell, standing for that row and showing its flag;
    // no box shows anywhere else. Returns the rows that carry a box.
    QList<int> boxesOverTheRowsInView(const frmComposeNew &w, const std::string &where) const
    {
        const QTableWidget *grid = w.grdListaDich;
        const QRect view = grid->viewport()->rect();
        QList<int> carried;
        for (int i = 0; i < 10; ++i) {
            const QCheckBox *b = w.chkVirtualCheck[size_t(i)];
            if (!b->isVisible())
                continue;
            const int r = b->property("Tag").toString().toInt();
            EXPECT_FALSE(carried.contains(r)) << where << ": two boxes on row " << r;
            carried << r;
            const QRect cell = grid->visualRect(grid->model()->index(r - 1, 0));
            EXPECT_TRUE(cell.top() >= 0 && cell.bottom() <= view.bottom())
                << where << ": box " << i << " on row " << r << ", not wholly in view";
            // Within the pixel an even size leaves between two centres.
            const QPoint offset = b->geometry().center() - grid->viewport()->mapTo(&w, cell.center());
            EXPECT_LE(offset.manhattanLength(), 2) << where << ": box " << i << " off its row " << r;
            EXPECT_TRUE(QRect(grid->viewport()->mapTo(&w, cell.topLeft()), cell.size()).contains(b->geometry()))
                << where << ": box " << i << " beyond its row " << r;
            EXPECT_EQ(b->isChecked(), w.TagGriglia().mid(r - 1, 1) == QLatin1String("1"))
                << where << ": box " << i << " on row " << r;
        }
        for (int r = grid->rowAt(0) + 1; r >= 1 && r <= grid->rowCount(); ++r) {
            const QRect cell = grid->visualRect(grid->model()->index(r - 1, 0));
            if (cell.top() > view.bottom())
                break;
            const QRect place = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, w.chkVirtualCheck[0]->size(), cell);
            const bool whole = cell.top() >= 0 && cell.bottom() <= view.bottom() && view.contains(place);
            EXPECT_EQ(carried.contains(r), whole) << where << ": row " << r << (whole ? " in view" : " cut");
        }
        return carried;
    }
};

}  // namespace

TEST_F(Wizard, LoadsOnStepOneWithItsLists)
{
    auto w = open();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Composizione nuovo Corbex"));
    EXPECT_EQ(w->PassoCorrente, 1);
    EXPECT_EQ(w->cmbDichiarante->count(), 2);
    EXPECT_EQ(w->cmbDichiarante->itemText(0), QStringLiteral("010101Z"));
    EXPECT_EQ(w->cmbDichiarante->currentIndex(), -1);
    EXPECT_EQ(w->lblNomeDichiarante->text(), QString());
    EXPECT_EQ(w->cmbCustomOfficeCode->count(), 4);
    EXPECT_EQ(w->cmbCustomOfficeCode->currentText(), QString());
    EXPECT_FALSE(w->cmdNextEnd->isEnabled());
    EXPECT_FALSE(w->cmdPreview->isEnabled());
    EXPECT_EQ(w->cmdNextEnd->text(), QStringLiteral("&Avanti >>"));
    EXPECT_TRUE(w->optWriteOnFloppy->isChecked());
    EXPECT_EQ(w->txtPathXCorbex->text(), QStringLiteral("C:\\"));
    EXPECT_TRUE(w->fraTipiDichiarazioni->isVisible());
    EXPECT_FALSE(w->grdListaDich->isVisible());
    EXPECT_FALSE(w->txtProgNumber->isVisible());
    EXPECT_TRUE(w->lblInstruction->text().startsWith(QStringLiteral("Indicare il codice del dichiarante")));
    EXPECT_EQ(w->grdListaDich->horizontalHeaderItem(3)->text(), QStringLiteral("Riferimeto"));
    // A type box alone, then the declarant: the button follows both.
    w->chkExport->setChecked(true);
    EXPECT_FALSE(w->cmdNextEnd->isEnabled());
    w->cmbDichiarante->setCurrentIndex(1);
    EXPECT_EQ(w->lblNomeDichiarante->text(), QStringLiteral("Bianchi & C. Dogane S.n.c."));
    EXPECT_TRUE(w->cmdNextEnd->isEnabled());
    w->chkExport->setChecked(false);
    EXPECT_FALSE(w->cmdNextEnd->isEnabled());
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(Wizard, ASingleDeclarantIsChosenAtLoad)
{
    execute(QStringLiteral("DELETE FROM Spedoga WHERE Codice = '030201H'"));
    auto w = open();
    EXPECT_EQ(w->cmbDichiarante->currentText(), QStringLiteral("010101Z"));
    EXPECT_EQ(w->lblNomeDichiarante->text(), QStringLiteral("Rossi Spedizioni S.r.l."));
    EXPECT_FALSE(w->cmdNextEnd->isEnabled());
    w->chkImport->setChecked(true);
    EXPECT_TRUE(w->cmdNextEnd->isEnabled());
}

TEST_F(Wizard, TheStoredDefaultsChooseTheFolderAndTheDestination)
{
    const struct {
        int whereWrite;
        const char *userDir, *shown;
        bool floppy, save, dir;
    } cases[] = {{1, "C:\\Corbix", "C:\\Corbix", false, true, false},
                 {2, "C:\\Manca", "C:\\", false, false, true},
                 {7, "", "C:\\", false, false, false}};
    for (const auto &c : cases) {
        common::OpzioniCorbix.WhereWrite = common::DestinazionePredefinita(c.whereWrite);
        common::OpzioniCorbix.UserDir = QString::fromLatin1(c.userDir);
        auto w = open();
        EXPECT_EQ(w->txtPathXCorbex->text(), QString::fromLatin1(c.shown)) << c.whereWrite;
        EXPECT_EQ(w->optWriteOnFloppy->isChecked(), c.floppy) << c.whereWrite;
        EXPECT_EQ(w->optSave->isChecked(), c.save) << c.whereWrite;
        EXPECT_EQ(w->optWriteInDir->isChecked(), c.dir) << c.whereWrite;
    }
}

// A search the other program's lock stops shows its error alone.
TEST_F(Wizard, AFailedSearchShowsItsErrorOnly)
{
    testsupport::OtherProgram other(archiveHost());
    auto w = open();
    w->cmbDichiarante->setCurrentIndex(w->cmbDichiarante->findText(QStringLiteral("010101Z")));
    w->chkImport->setChecked(true);
    ASSERT_EQ(other.exec(QStringLiteral("BEGIN EXCLUSIVE")), 0);
    clickAsUser(w->cmdNextEnd);
    other.exec(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(w->PassoCorrente, 1);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_TRUE(boxes_.shown[0].text.startsWith(QStringLiteral("Errore di Run-time 3261\r\n")))
        << boxes_.shown[0].text.toStdString();
    EXPECT_EQ(boxes_.shown[0].icon, MsgIcon::Critical);
}

TEST_F(Wizard, NoEligibleDeclarationKeepsStepOne)
{
    auto w = searched(QStringLiteral("010101Z"), {"chkInDeposito"});
    EXPECT_EQ(w->PassoCorrente, 1);
    EXPECT_EQ(boxes_.shown, std::vector{box(kNone, QStringLiteral("Corbix doganali"), MsgIcon::Information)});
    EXPECT_EQ(w->lblSelectedElements->text(), QStringLiteral("Elementi selezionati 0 di 0."));
    EXPECT_TRUE(w->fraTipiDichiarazioni->isVisible());
}

TEST_F(Wizard, TheSearchListsTheDeclarantsDeclarationsOfTheTickedTypesAllTicked)
{
    auto w = searched(QStringLiteral("010101Z"), {"chkImport", "chkExport"});
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_EQ(w->PassoCorrente, 2);
    EXPECT_EQ(gridRows(*w).join(u'\n'), QStringLiteral("|04/03/2024|1|00001TO|C1\n"
                                                       "|04/03/2024|3|00003TO|C2\n"
                                                       "|04/03/2024|5|00005TO|C1"));
    EXPECT_EQ(w->TagGriglia(), QStringLiteral("111"));
    EXPECT_EQ(w->lblSelectedElements->text(), QStringLiteral("Elementi selezionati 3 di 3."));
    EXPECT_EQ(boxes(*w), QStringLiteral("111-----"));
    EXPECT_EQ(w->grdListaDich->currentColumn(), 4);
    EXPECT_TRUE(w->cmdPreview->isEnabled());
    EXPECT_TRUE(w->cmdNextEnd->isEnabled());
    EXPECT_EQ(w->grdListaDich->columnWidth(1), twips(1200));
    // Only C1 wanted: the C2 goes.
    clickAsUser(w->cmdPreview);
    EXPECT_EQ(w->PassoCorrente, 1);
    EXPECT_EQ(boxes(*w), QStringLiteral("--------"));
    w->chkExport->setChecked(false);
    clickAsUser(w->cmdNextEnd);
    EXPECT_EQ(gridRows(*w).size(), 2);
    EXPECT_EQ(w->TagGriglia(), QStringLiteral("11"));
}

TEST_F(Wizard, OnlyDeclarationsStillFreeAndDueAreCandidates)
{
    copiesOfDeclaration1(10, 6);
    const struct {
        int indice;
        const char *stato1;
        const char *ultimadata;
    } changes[] = {{10, "2", "2024-03-04"}, {11, "1", "2024-03-04"}, {12, "7", "2026-01-15"},
                   {13, "0", "2026-01-16"}, {14, "0", "2026-01-15 00:00:01"}, {15, nullptr, "2024-03-04"}};
    for (const auto &c : changes)
        execute(QStringLiteral("UPDATE IndiceDoc SET Stato1 = ?, ultimadata = ? WHERE Indice = ?"),
                {c.stato1 ? QVariant(QString::fromLatin1(c.stato1).toInt()) : QVariant(),
                 QString::fromLatin1(c.ultimadata), c.indice});
    auto w = searched(QStringLiteral("010101Z"), {"chkImport"});
    QStringList indices;
    for (int r = 0; r < w->grdListaDich->rowCount(); ++r)
        indices << w->grdListaDich->item(r, 2)->text();
    EXPECT_EQ(indices.join(u','), QStringLiteral("1,5,12"));
}

TEST_F(Wizard, TheSelectAllButtonAndTheBoxesKeepTheFlags)
{
    auto w = searched(QStringLiteral("010101Z"), {"chkImport", "chkExport"});
    clickAsUser(w->cmdVirtualSelez);
    EXPECT_EQ(w->TagGriglia(), QStringLiteral("000"));
    EXPECT_EQ(boxes(*w), QStringLiteral("000-----"));
    EXPECT_EQ(w->lblSelectedElements->text(), QStringLiteral("Elementi selezionati 0 di 3."));
    EXPECT_FALSE(w->cmdNextEnd->isEnabled());
    clickAsUser(w->chkVirtualCheck[1]);
    EXPECT_EQ(w->TagGriglia(), QStringLiteral("010"));
    EXPECT_EQ(w->lblSelectedElements->text(), QStringLiteral("Elementi selezionati 1 di 3."));
    EXPECT_TRUE(w->cmdNextEnd->isEnabled());
    clickAsUser(w->chkVirtualCheck[1]);
    EXPECT_FALSE(w->cmdNextEnd->isEnabled());
    clickAsUser(w->cmdVirtualSelez);
    EXPECT_EQ(w->TagGriglia(), QStringLiteral("111"));
    clickAsUser(w->cmdVirtualSelez);
    clickAsUser(w->chkVirtualCheck[2]);
    // Forward and back keep the ticks.
    clickAsUser(w->cmdNextEnd);
    EXPECT_EQ(w->PassoCorrente, 3);
    EXPECT_EQ(boxes(*w), QStringLiteral("--------"));
    clickAsUser(w->cmdPreview);
    EXPECT_EQ(w->TagGriglia(), QStringLiteral("001"));
    EXPECT_EQ(boxes(*w), QStringLiteral("001-----"));
    EXPECT_EQ(w->ElencoSelezionate(QStringLiteral("T")),
              QStringLiteral("T\r\n010101Z         \r\n1\r\n2024/03/04-000000005\r\n"));
}

TEST_F(Wizard, TheSpaceBarTogglesTheRowOnlyInTheSelectionColumn)
{
    auto w = searched(QStringLiteral("010101Z"), {"chkImport"});
    w->grdListaDich->setFocus();
    press(w->grdListaDich, Qt::Key_Space);
    EXPECT_EQ(w->TagGriglia(), QStringLiteral("11"));
    w->grdListaDich->setCurrentCell(1, 0);
    press(w->grdListaDich, Qt::Key_Space);
    EXPECT_EQ(w->TagGriglia(), QStringLiteral("10"));
    EXPECT_EQ(boxes(*w), QStringLiteral("10------"));
    press(w->grdListaDich, Qt::Key_Space);
    EXPECT_EQ(w->TagGriglia(), QStringLiteral("11"));
}

TEST_F(Wizard, ManyRowsNarrowTheColumnsAndScrollingMovesTheTicks)
{
    copiesOfDeclaration1(100, 10);
    auto w = searched(QStringLiteral("010101Z"), {"chkImport"});
    ASSERT_EQ(w->grdListaDich->rowCount(), 12);
    EXPECT_EQ(w->grdListaDich->columnWidth(1), twips(1125));
    EXPECT_EQ(w->grdListaDich->columnWidth(2), twips(1125));
    EXPECT_EQ(w->grdListaDich->columnWidth(3), twips(1225));
    // Each of the eight rows in view shows its box, the eighth included,
    // once the grid has dropped the scroll bar its wider columns needed.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->grdListaDich->horizontalScrollBar()->isVisible(); }));
    EXPECT_EQ(boxes(*w), QStringLiteral("11111111"));
    clickAsUser(w->chkVirtualCheck[7]);
    EXPECT_EQ(w->TagGriglia(), QStringLiteral("111111101111"));
    clickAsUser(w->chkVirtualCheck[7]);
    clickAsUser(w->chkVirtualCheck[1]);
    EXPECT_EQ(boxes(*w), QStringLiteral("10111111"));
    w->grdListaDich->verticalScrollBar()->setValue(1);
    EXPECT_EQ(w->TopRow(), 2);
    EXPECT_EQ(boxes(*w), QStringLiteral("01111111"));
    EXPECT_EQ(w->chkVirtualCheck[0]->property("Tag").toString(), QStringLiteral("2"));
    clickAsUser(w->chkVirtualCheck[0]);
    EXPECT_EQ(w->TagGriglia(), QStringLiteral("111111111111"));
}

TEST_F(Wizard, ASearchOfSeveralSlicesListsEveryRowTickedRefusesInputAndTheTicksFollowTheRows)
{
    // Declaration 1 copied as 100 to 1299: more candidates than one query reads.
    const int copies = 1200;
    ASSERT_GT(copies, int(CandidatiPerFetta));
    manyCopiesOfDeclaration1(copies);

    auto w = open();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->cmbDichiarante->setCurrentIndex(w->cmbDichiarante->findText(QStringLiteral("010101Z")));
    w->chkImport->setChecked(true);
    // While the search runs the window paints, but a click where "A&nnulla"
    // stands (the search's bar lies over it meanwhile), a click on the button
    // waiting in the queue, and an Esc are thrown away.
    bool pressed = false;
    QTimer::singleShot(0, w.get(), [&] {
        EXPECT_TRUE(w->GrigliaInCaricamento);
        const QPoint centre = w->cmdCancel->rect().center();
        EXPECT_EQ(w->childAt(w->cmdCancel->mapTo(w.get(), centre)), w->prbSearch);
        QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, w->cmdCancel->mapTo(w.get(), centre));
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(w->cmdCancel,
                                        new QMouseEvent(type, QPointF(centre), w->cmdCancel->mapToGlobal(QPointF(centre)),
                                                        Qt::LeftButton,
                                                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                                        Qt::NoModifier));
        keyClickAsUser(w.get(), Qt::Key_Escape);
        pressed = true;
    });
    clickAsUser(w->cmdNextEnd);
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->result(), QDialog::Rejected) << "never closed";
    EXPECT_FALSE(w->GrigliaInCaricamento);
    EXPECT_FALSE(w->prbSearch->isVisible());
    ASSERT_EQ(w->PassoCorrente, 2);

    const int rows = copies + 2;
    ASSERT_EQ(w->grdListaDich->rowCount(), rows);
    QStringList indices, expected{"1", "5"};
    for (int n = 100; n < 100 + copies; ++n)
        expected << QString::number(n);
    for (int r = 0; r < rows; ++r)
        indices << w->grdListaDich->item(r, 2)->text();
    EXPECT_EQ(indices, expected) << "by date and index, across the slices";
    EXPECT_EQ(gridRows(*w).last(), QStringLiteral("|04/03/2024|1299|00001TO|C1"));
    EXPECT_EQ(w->TagGriglia(), QString(rows, u'1'));
    EXPECT_EQ(w->lblSelectedElements->text(), QStringLiteral("Elementi selezionati 1202 di 1202."));
    // The eighth row lies under the scroll bar: its box is out of sight.
    EXPECT_EQ(boxes(*w), QStringLiteral("1111111-"));

    // Row 1101 (index 1198), past the first slice, unticked from its box.
    w->grdListaDich->verticalScrollBar()->setValue(1100);
    ASSERT_EQ(w->TopRow(), 1101);
    EXPECT_EQ(w->chkVirtualCheck[0]->property("Tag").toString(), QStringLiteral("1101"));
    clickAsUser(w->chkVirtualCheck[0]);
    EXPECT_EQ(w->TagGriglia().indexOf(u'0'), 1100);
    EXPECT_EQ(w->TagGriglia().count(u'0'), 1);
    EXPECT_EQ(w->lblSelectedElements->text(), QStringLiteral("Elementi selezionati 1201 di 1202."));
    w->grdListaDich->verticalScrollBar()->setValue(1099);
    EXPECT_EQ(boxes(*w), QStringLiteral("1011111-"));
    const QStringList lines = w->ElencoSelezionate(QStringLiteral("T")).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.value(2), QStringLiteral("1201"));
    EXPECT_EQ(lines.value(3 + 1099), QStringLiteral("2024/03/04-000001197"));
    EXPECT_EQ(lines.value(3 + 1100), QStringLiteral("2024/03/04-000001199"));
}

TEST_F(Wizard, TheFloatingBoxesShowOnlyOverWhollyVisibleCellsAndFollowScrolling)
{
    copiesOfDeclaration1(100, 20);
    auto w = searched(QStringLiteral("010101Z"), {"chkImport"});
    ASSERT_EQ(w->PassoCorrente, 2);
    QTableWidget *grid = w->grdListaDich;
    // Each box stands over the centre of its row's selection cell, and only
    // while it is wholly in the grid's view.
    auto overTheirCells = [&] { return int(boxesOverTheRowsInView(*w, "scrolled").size()); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return !grid->horizontalScrollBar()->isVisible(); }));
    const int visible = overTheirCells();
    EXPECT_EQ(visible, 8);
    grid->verticalScrollBar()->setValue(3);
    EXPECT_EQ(w->TopRow(), 4);
    EXPECT_EQ(overTheirCells(), visible);
    // Scrolled sideways, the selection column is cut: no box shows.
    grid->setColumnWidth(4, grid->viewport()->width());
    // The grid takes its new scroll range on its next layout pass.
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->horizontalScrollBar()->maximum() >= 3; }));
    grid->horizontalScrollBar()->setValue(3);
    EXPECT_EQ(boxes(*w), QStringLiteral("--------"));
    EXPECT_EQ(overTheirCells(), 0);
    grid->horizontalScrollBar()->setValue(0);
    EXPECT_EQ(overTheirCells(), visible);
}

// A press on the scroll bar's slider, dragged to the point given of the bar.
void dragSlider(QScrollBar *bar, QPoint to)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    if (bar->orientation() == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    const QPoint from =
        bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar).center();
    QTest::mousePress(bar, Qt::LeftButton, {}, from);
    QTest::mouseMove(bar, (from + to) / 2);
    QTest::mouseMove(bar, to);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, to);
}

// The wheel turned by so many notches over the grid's rows, towards the end.
void wheelDown(QTableWidget *grid, int notches)
{
    const QPoint at = grid->viewport()->rect().center();
    QWheelEvent wheel(QPointF(at), QPointF(grid->viewport()->mapToGlobal(at)), QPoint(), QPoint(0, -120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->viewport(), &wheel);
}

TEST_F(Wizard, AtTheEndOfALongListAsAnywhereEveryRowInViewCarriesItsBox)
{
    manyCopiesOfDeclaration1(1498);
    auto w = searched(QStringLiteral("010101Z"), {"chkImport"});
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    ASSERT_EQ(w->PassoCorrente, 2);
    QTableWidget *grid = w->grdListaDich;
    QScrollBar *bar = grid->verticalScrollBar();
    ASSERT_EQ(grid->rowCount(), 1500);
    // Eight rows in view, once the grid has dropped the scroll bar its wider
    // columns needed.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !grid->horizontalScrollBar()->isVisible(); }));
    EXPECT_EQ(boxesOverTheRowsInView(*w, "top").size(), 8);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 1)).center());
    ASSERT_TRUE(grid->hasFocus());

    // The end of the list by Ctrl+End: the view shows the last row whole and
    // a strip of the row above it under the header.
    keyClickAsUser(grid, Qt::Key_End, Qt::ControlModifier);
    ASSERT_EQ(bar->value(), bar->maximum());
    ASSERT_EQ(grid->currentRow(), 1499);
    QList<int> carried = boxesOverTheRowsInView(*w, "Ctrl+End");
    ASSERT_TRUE(carried.contains(1500));
    EXPECT_EQ(carried.size(), 8);
    auto boxOf = [&](int row) -> QCheckBox * {
        for (QCheckBox *b : w->chkVirtualCheck)
            if (b->isVisible() && b->property("Tag").toString() == QString::number(row))
                return b;
        return nullptr;
    };
    QCheckBox *last = boxOf(1500);
    ASSERT_NE(last, nullptr);
    EXPECT_TRUE(last->isChecked());

    // Space on the last row's selection cell unticks the row and its box
    // together, and ticks both again.
    keyClickAsUser(grid, Qt::Key_Home);
    ASSERT_EQ(grid->currentColumn(), 0);
    keyClickAsUser(grid, Qt::Key_Space);
    EXPECT_EQ(w->TagGriglia(), QString(1499, u'1') + u'0');
    EXPECT_FALSE(last->isChecked());
    EXPECT_EQ(w->lblSelectedElements->text(), QStringLiteral("Elementi selezionati 1499 di 1500."));
    boxesOverTheRowsInView(*w, "Space on the last row");
    keyClickAsUser(grid, Qt::Key_Space);
    EXPECT_EQ(w->TagGriglia(), QString(1500, u'1'));
    EXPECT_TRUE(last->isChecked());

    // A click on the last row's box unticks it, a second ticks it again.
    clickAsUser(last);
    EXPECT_EQ(w->TagGriglia(), QString(1499, u'1') + u'0');
    EXPECT_FALSE(last->isChecked());
    EXPECT_EQ(w->lblSelectedElements->text(), QStringLiteral("Elementi selezionati 1499 di 1500."));
    clickAsUser(last);
    EXPECT_EQ(w->TagGriglia(), QString(1500, u'1'));
    EXPECT_EQ(w->lblSelectedElements->text(), QStringLiteral("Elementi selezionati 1500 di 1500."));

    // Back at the top, then a page down, the wheel, the slider dragged to the
    // middle and to the end.
    keyClickAsUser(grid, Qt::Key_Home, Qt::ControlModifier);
    ASSERT_EQ(bar->value(), 0);
    EXPECT_EQ(boxesOverTheRowsInView(*w, "Ctrl+Home").size(), 8);
    keyClickAsUser(grid, Qt::Key_PageDown);
    ASSERT_GT(bar->value(), 0);
    EXPECT_EQ(boxesOverTheRowsInView(*w, "PgDn").size(), 8);
    const int before = bar->value();
    wheelDown(grid, 2);
    ASSERT_GT(bar->value(), before);
    EXPECT_EQ(boxesOverTheRowsInView(*w, "wheel").size(), 8);
    dragSlider(bar, QPoint(bar->width() / 2, bar->height() / 2));
    ASSERT_GT(bar->value(), bar->maximum() / 4);
    ASSERT_LT(bar->value(), bar->maximum() * 3 / 4);
    EXPECT_EQ(boxesOverTheRowsInView(*w, "slider in the middle").size(), 8);
    dragSlider(bar, QPoint(bar->width() / 2, bar->height() - 1));
    ASSERT_EQ(bar->value(), bar->maximum());
    carried = boxesOverTheRowsInView(*w, "slider at the end");
    EXPECT_TRUE(carried.contains(1500));
    EXPECT_EQ(carried.size(), 8);
}

TEST_F(Wizard, TheFloatingBoxesLeaveTheKeyboardToTheGrid)
{
    copiesOfDeclaration1(100, 10);
    auto w = searched(QStringLiteral("010101Z"), {"chkImport"});
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QTableWidget *grid = w->grdListaDich;
    // A click on row 3's date, then the left arrow into the selection column.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(2, 1)).center());
    ASSERT_TRUE(grid->hasFocus());
    keyClickAsUser(grid, Qt::Key_Left);
    ASSERT_EQ(grid->currentRow(), 2);
    ASSERT_EQ(grid->currentColumn(), 0);
    keyClickAsUser(grid, Qt::Key_Space);
    EXPECT_EQ(w->TagGriglia(), QStringLiteral("110111111111"));
    // A box clicked ticks its row and leaves the focus in the grid.
    clickAsUser(w->chkVirtualCheck[0]);
    EXPECT_EQ(w->TagGriglia(), QStringLiteral("010111111111"));
    EXPECT_TRUE(grid->hasFocus());
    keyClickAsUser(grid, Qt::Key_Down);
    keyClickAsUser(grid, Qt::Key_Space);
    EXPECT_EQ(w->TagGriglia(), QStringLiteral("010011111111"));
    EXPECT_EQ(w->lblSelectedElements->text(), QStringLiteral("Elementi selezionati 9 di 12."));
    EXPECT_TRUE(boxes(*w).startsWith(QStringLiteral("01001"))) << boxes(*w).toStdString();
    for (QCheckBox *b : w->chkVirtualCheck)
        EXPECT_EQ(b->focusPolicy(), Qt::NoFocus);
    // A row scrolled out of view is still ticked by the space bar.
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
    grid->setCurrentCell(0, 0);
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
    keyClickAsUser(grid, Qt::Key_Space);
    EXPECT_EQ(w->TagGriglia(), QStringLiteral("110011111111"));
}

TEST_F(Wizard, TabLeavesTheGridAndAStepThatHidesTheFocusGivesItToTheNextStepsFirstControl)
{
    auto w = searched(QStringLiteral("010101Z"), {"chkImport", "chkExport"});
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QTableWidget *grid = w->grdListaDich;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 1)).center());
    ASSERT_TRUE(grid->hasFocus());
    // Tab goes round the step's controls, once through the grid.
    const QWidget *order[] = {w->cmdVirtualSelez, w->cmdPreview, w->cmdNextEnd, w->cmdCancel, grid};
    for (const QWidget *next : order) {
        keyClickAsUser(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
    EXPECT_EQ(grid->currentRow(), 0);
    EXPECT_EQ(grid->currentColumn(), 1);
    // Alt+A with the grid holding the focus: the destination step has it on the chosen destination.
    keyClickAsUser(grid, Qt::Key_A, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->PassoCorrente == 3; }));
    EXPECT_EQ(QApplication::focusWidget(), w->optWriteOnFloppy);
    keyClickAsUser(w->optWriteOnFloppy, Qt::Key_Down);
    keyClickAsUser(w->optSave, Qt::Key_Down);
    ASSERT_TRUE(w->optWriteInDir->isChecked());
    keyClickAsUser(w->optWriteInDir, Qt::Key_A, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->PassoCorrente == 4; }));
    EXPECT_EQ(QApplication::focusWidget(), w->cmbCustomOfficeCode);
    // Back with Alt+I from the office box: the chosen destination takes the focus;
    // a click on a button that stays leaves the focus on it.
    keyClickAsUser(w->cmbCustomOfficeCode, Qt::Key_I, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->PassoCorrente == 3; }));
    EXPECT_EQ(QApplication::focusWidget(), w->optWriteInDir);
    clickAsUser(w->cmdPreview);
    ASSERT_EQ(w->PassoCorrente, 2);
    EXPECT_EQ(QApplication::focusWidget(), w->cmdPreview);
}

TEST_F(Wizard, TheDestinationStepNamesTheMediumAndItsButton)
{
    auto w = searched(QStringLiteral("010101Z"), {"chkImport"});
    clickAsUser(w->cmdNextEnd);
    EXPECT_EQ(w->PassoCorrente, 3);
    EXPECT_EQ(w->optWriteOnFloppy->text(), QStringLiteral("Scrittura su supporto magnetico (A:)"));
    EXPECT_EQ(w->cmdNextEnd->text(), QStringLiteral("&Fine"));
    w->optWriteInDir->setChecked(true);
    EXPECT_EQ(w->cmdNextEnd->text(), QStringLiteral("&Avanti >>"));
    w->optSave->setChecked(true);
    EXPECT_EQ(w->cmdNextEnd->text(), QStringLiteral("&Fine"));
    w->optWriteInDir->setChecked(true);
    clickAsUser(w->cmdNextEnd);
    EXPECT_EQ(w->PassoCorrente, 4);
    EXPECT_EQ(w->cmdNextEnd->text(), QStringLiteral("&Fine"));
    EXPECT_TRUE(w->txtProgNumber->isVisible());
    EXPECT_FALSE(w->optSave->isVisible());
    // Back to step 3 and the removable medium: "&Fine" again.
    clickAsUser(w->cmdPreview);
    w->optWriteOnFloppy->setChecked(true);
    EXPECT_EQ(w->cmdNextEnd->text(), QStringLiteral("&Fine"));
}

TEST_F(Wizard, TheFolderStepFieldsReactToFocusAndTyping)
{
    auto w = searched(QStringLiteral("010101Z"), {"chkImport"});
    clickAsUser(w->cmdNextEnd);
    w->optWriteInDir->setChecked(true);
    clickAsUser(w->cmdNextEnd);
    QApplication::setActiveWindow(w.get());
    w->cmbCustomOfficeCode->setEditText(QStringLiteral("  0121009"));
    EXPECT_EQ(w->cmbCustomOfficeCode->currentText(), QStringLiteral("012100"));
    w->txtProgNumber->setFocus();
    EXPECT_EQ(base(w->txtProgNumber), ColoreFuoco);
    w->txtProgNumber->setText(QStringLiteral("7"));
    w->txtPathXCorbex->setFocus();
    EXPECT_EQ(w->txtProgNumber->text(), QStringLiteral("07"));
    EXPECT_EQ(base(w->txtProgNumber), window());
    EXPECT_EQ(base(w->txtPathXCorbex), ColoreFuoco);
    w->txtProgNumber->setFocus();
    EXPECT_EQ(base(w->txtPathXCorbex), window());
    w->txtProgNumber->setText(QStringLiteral("7a"));
    w->txtPathXCorbex->setFocus();
    EXPECT_EQ(w->txtProgNumber->text(), QStringLiteral("7a"));
    EXPECT_EQ(base(w->txtProgNumber), ColoreRosso);
}

TEST_F(Wizard, FinishOnTheFolderStepComputesTheNumberAgainWhateverItsColour)
{
    auto w = searched(QStringLiteral("010101Z"), {"chkImport"});
    clickAsUser(w->cmdNextEnd);
    w->optWriteInDir->setChecked(true);
    clickAsUser(w->cmdNextEnd);
    w->cmbCustomOfficeCode->setEditText(QStringLiteral("012100"));
    // Typed without leaving the box (a mnemonic pressed at once): never coloured, still refused.
    w->txtProgNumber->setText(QStringLiteral("-1"));
    clickAsUser(w->cmdNextEnd);
    EXPECT_EQ(w->PassoCorrente, 4);
    EXPECT_EQ(boxes_.shown, std::vector{box(QStringLiteral("Il progressivo indicato non è corretto."),
                                            QStringLiteral("Corbix doganali"), MsgIcon::Information)});
    EXPECT_EQ(base(w->txtProgNumber), ColoreRosso);
    EXPECT_TRUE(register_().isEmpty());
    // Red from an earlier leave, then corrected without leaving: accepted and reserved.
    boxes_.shown.clear();
    w->txtProgNumber->setText(QStringLiteral("+7"));
    w->txtPathXCorbex->setText(QStringLiteral("C:\\Manca"));
    clickAsUser(w->cmdNextEnd);
    EXPECT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(base(w->txtPathXCorbex), ColoreRosso);
    EXPECT_TRUE(register_().isEmpty());
}

// The message boxes themselves, shown modally over the wizard: each is
// recorded and, once it is the active window, answered by its OK button;
// then the wizard becomes the active window again, as the window manager
// makes it.
class RealBoxes : public platform::MessageBoxService {
public:
    explicit RealBoxes(QWidget *owner) : owner_(owner) {}
    MsgResult show(const Message &message) override
    {
        shown.push_back(message);
        QTimer::singleShot(0, [] {
            QMessageBox *box = nullptr;
            EXPECT_TRUE(QTest::qWaitFor([&] {
                box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                return box && box->isActiveWindow();
            }));
            if (box)
                clickAsUser(box->buttons().front());
        });
        const MsgResult r = platform::QtMessageBoxService().show(message);
        owner_->activateWindow();
        return r;
    }
    std::vector<Message> shown;

private:
    QWidget *owner_;
};

TEST_F(Wizard, AFailedCheckColoursTheFieldThatKeepsTheFocusUntilTheUserLeavesIt)
{
    auto w = searched(QStringLiteral("010101Z"), {"chkImport"});
    clickAsUser(w->cmdNextEnd);
    w->optWriteInDir->setChecked(true);
    clickAsUser(w->cmdNextEnd);
    ASSERT_EQ(w->PassoCorrente, 4);
    RealBoxes real(w.get());
    platform::ScopedMessageBoxService guard(real);
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->cmbCustomOfficeCode->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(base(w->cmbCustomOfficeCode), ColoreFuoco);

    // "&Fine" by its access key: the focus stays in the empty office box.
    keyClickAsUser(w->cmbCustomOfficeCode, Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !real.shown.empty(); }));
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QTest::qWait(50);
    EXPECT_EQ(real.shown.front().text, QStringLiteral("E' necessario indicare il codice dell'ufficio doganale a cui è "
                                                      "indirizzato il corbex."));
    EXPECT_EQ(QApplication::focusWidget(), w->cmbCustomOfficeCode);
    EXPECT_EQ(base(w->cmbCustomOfficeCode), ColoreRosso);
    // Leaving it is its own rule: the window colour.
    keyClickAsUser(w->cmbCustomOfficeCode, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w->txtProgNumber);
    EXPECT_EQ(base(w->cmbCustomOfficeCode), window());

    // The progressive left empty, with the focus in it: red while it keeps
    // the focus, and left it stays red, as its own check finds it.
    w->cmbCustomOfficeCode->setEditText(QStringLiteral("012100"));
    ASSERT_EQ(base(w->txtProgNumber), ColoreFuoco);
    keyClickAsUser(w->txtProgNumber, Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return real.shown.size() == 2; }));
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QTest::qWait(50);
    EXPECT_EQ(real.shown.back().text, QStringLiteral("E' necessario indicare il numero progressivo del corbex."));
    EXPECT_EQ(QApplication::focusWidget(), w->txtProgNumber);
    EXPECT_EQ(base(w->txtProgNumber), ColoreRosso);
    EXPECT_EQ(base(w->cmbCustomOfficeCode), window());
    keyClickAsUser(w->txtProgNumber, Qt::Key_Tab);
    EXPECT_EQ(base(w->txtProgNumber), ColoreRosso);
    EXPECT_EQ(w->PassoCorrente, 4);
    EXPECT_TRUE(register_().isEmpty());
}

TEST_F(Wizard, AnUnknownOfficeAnsweredYesTurnsYellowAndTheChecksGoOn)
{
    execute(QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, Stato, Tipo) VALUES (4, ?, 7, 0, 0)"),
            {today()});
    auto w = searched(QStringLiteral("010101Z"), {"chkImport"});
    clickAsUser(w->cmdNextEnd);
    w->optWriteInDir->setChecked(true);
    clickAsUser(w->cmdNextEnd);
    w->cmbCustomOfficeCode->setEditText(QStringLiteral("999999"));
    w->txtProgNumber->setText(QStringLiteral("7"));
    boxes_.answer(MsgResult::Yes);
    clickAsUser(w->cmdNextEnd);
    EXPECT_EQ(w->PassoCorrente, 4);
    EXPECT_EQ(base(w->cmbCustomOfficeCode), ColoreGiallo);
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].text, QStringLiteral("Il progressivo indicato non può essere accettato poiché già usato. "
                                                   "Usare un numero progressivo diverso."));
    EXPECT_EQ(register_().size(), 1);
}

TEST_F(Wizard, TheFolderChooserGivesTheFolderUnlessCancelled)
{
    struct Chooser : FolderChooser {
        QString scegli(QWidget *, const QPoint &, const QString &caption, const QString &start) override
        {
            captions << caption;
            starts << start;
            return answer;
        }
        QString answer;
        QStringList captions, starts;
    } chooser;
    {
        auto w = open();
        EXPECT_FALSE(w->cmdSelect->isEnabled());
    }
    ScopedFolderChooser guard(chooser);
    auto w = open();
    EXPECT_TRUE(w->cmdSelect->isEnabled());
    chooser.answer = QStringLiteral("C:\\Corbix");
    w->cmdSelect_Click();
    EXPECT_EQ(w->txtPathXCorbex->text(), QStringLiteral("C:\\Corbix"));
    chooser.answer.clear();
    w->cmdSelect_Click();
    EXPECT_EQ(w->txtPathXCorbex->text(), QStringLiteral("C:\\Corbix"));
    EXPECT_EQ(chooser.captions, QStringList(2, QStringLiteral("Selezionare la cartella.")));
    EXPECT_EQ(chooser.starts, (QStringList{QStringLiteral("C:\\"), QStringLiteral("C:\\Corbix")}));
}

TEST_F(Wizard, CancelOnAnyStepWritesNothing)
{
    for (int step = 1; step <= 4; ++step) {
        auto w = searched(QStringLiteral("010101Z"), {"chkImport"});
        if (step >= 3)
            clickAsUser(w->cmdNextEnd);
        if (step == 4) {
            w->optWriteInDir->setChecked(true);
            clickAsUser(w->cmdNextEnd);
        }
        if (step == 1)
            clickAsUser(w->cmdPreview);
        ASSERT_EQ(w->PassoCorrente, step);
        clickAsUser(w->cmdCancel);
        EXPECT_FALSE(w->isVisible()) << step;
        EXPECT_EQ(w->result(), QDialog::Rejected) << step;
    }
    auto w = searched(QStringLiteral("010101Z"), {"chkImport"});
    press(w.get(), Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(register_().isEmpty());
    EXPECT_EQ(stati(), QStringLiteral("00000"));
    EXPECT_EQ(storedRow().value(4).toInt(), 0);
}

TEST_F(Wizard, StoringOnlySavesTheDefaultsAndClosesWithoutAFlow)
{
    auto w = searched(QStringLiteral("010101Z"), {"chkImport"});
    clickAsUser(w->cmdNextEnd);
    w->optWriteInDir->setChecked(true);
    clickAsUser(w->cmdNextEnd);
    w->txtPathXCorbex->setText(QStringLiteral("C:\\Corbix"));
    w->chkSetDefaultPath->setChecked(true);
    clickAsUser(w->cmdPreview);
    w->optSave->setChecked(true);
    w->chkSetDefaultDestination->setChecked(true);
    clickAsUser(w->cmdNextEnd);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_EQ(common::OpzioniCorbix.WhereWrite, common::DestinazionePredefinita::Memorizzato);
    EXPECT_EQ(storedRow().value(4).toInt(), 1);
    EXPECT_EQ(storedRow().value(5).toString(), QStringLiteral("C:\\Corbix"));
    EXPECT_TRUE(register_().isEmpty());
    EXPECT_EQ(stati(), QStringLiteral("00000"));
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(Wizard, TheComposeCommandOpensTheWizardOnceRegistered)
{
    uimain::RegisteredWindowFactory windows;
    EXPECT_FALSE(windows.disponibile(Finestra::frmComposeNew));
    RegistraComposizione(windows);
    EXPECT_TRUE(windows.disponibile(Finestra::frmComposeNew));
    QString title;
    QTimer::singleShot(0, [&] {
        auto *w = qobject_cast<frmComposeNew *>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        title = w->windowTitle();
        clickAsUser(w->cmdCancel);
    });
    windows.apri(Finestra::frmComposeNew, nullptr, QString());
    EXPECT_EQ(title, QStringLiteral("Composizione nuovo Corbex"));
    EXPECT_TRUE(register_().isEmpty());
}
