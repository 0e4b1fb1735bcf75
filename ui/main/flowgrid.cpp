#include "ui/main/flowgrid.h"

#include "common/globals.h"
#include "common/runtimeerror.h"
#include "flowengine/register.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/twips.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <map>

namespace uimain {

using namespace flowengine;

namespace {

constexpr int LatoImmagine = 16;  // pixels

// Draws the status picture of column 6 centred in its cell, over the cell's
// own background (the highlight of a chosen row included). The view draws it:
// no widget per row, so a list of thousands of flows fills and scrolls at
// the pace of its items.
class ImmagineCentrata : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem cella = option;
        initStyleOption(&cella, index);
        const QIcon icona = index.data(RuoloImmagine).value<QIcon>();
        const QWidget *vista = option.widget;
        QStyle *stile = vista ? vista->style() : QApplication::style();
        stile->drawControl(QStyle::CE_ItemViewItem, &cella, painter, vista);
        if (icona.isNull())
            return;
        const QPixmap pixmap = icona.pixmap(QSize(LatoImmagine, LatoImmagine), painter->device()->devicePixelRatioF());
        const QRect dove = QStyle::alignedRect(option.direction, Qt::AlignCenter,
                                               pixmap.deviceIndependentSize().toSize(), option.rect);
        painter->drawPixmap(dove, pixmap);
    }
};

QTableWidgetItem *cella(const QString &testo)
{
    auto *item = new QTableWidgetItem(testo);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

bool CaricaGriglia(QTableWidget *griglia, qint16 posizione)
{
    std::vector<RigaElenco> righe;
    try {
        righe = LeggiElencoCorbex(posizione);
    } catch (const platform::RuntimeError &e) {
        platform::msgBox(common::TestoErroreRuntime(e.number(), e.description()), common::TitoloCorbix,
                         platform::MsgIcon::Critical);
        return false;
    }
    if (posizione != PosizioneInviati)
        return true;

    if (!dynamic_cast<ImmagineCentrata *>(griglia->itemDelegateForColumn(6)))
        griglia->setItemDelegateForColumn(6, new ImmagineCentrata(griglia));
    // The grid is painted once, when it is whole.
    griglia->setUpdatesEnabled(false);
    griglia->clearContents();
    griglia->setColumnCount(ColonneElenco);
    griglia->setRowCount(int(righe.size()));
    // The list has a handful of pictures: each is loaded once per fill.
    std::map<QString, QIcon> immagini;
    for (int i = 0; i < int(righe.size()); ++i) {
        const RigaElenco &r = righe[i];
        for (int c = 0; c < 6; ++c)
            griglia->setItem(i, c, cella(r.testi[c]));
        griglia->item(i, 0)->setData(RuoloChiave, QVariant::fromValue(r.corbex));
        QTableWidgetItem *stato = cella(QString());
        stato->setData(RuoloChiave, r.icona);
        auto immagine = immagini.find(r.icona);
        if (immagine == immagini.end())
            immagine = immagini.emplace(r.icona, ImmagineElenco(r.icona)).first;
        if (!immagine->second.isNull())
            stato->setData(RuoloImmagine, immagine->second);
        griglia->setItem(i, 6, stato);
    }
    griglia->setUpdatesEnabled(true);
    return true;
}

void ImpostaGriglia(QTableWidget *griglia, qint16 posizione)
{
    if (posizione != PosizioneInviati)
        return;
    griglia->setColumnCount(ColonneElenco);
    griglia->verticalHeader()->hide();
    // The narrow columns are narrower than the style's smallest section.
    griglia->horizontalHeader()->setMinimumSectionSize(1);
    const int righeGriglia = griglia->rowCount() + 1;  // the header counts as a row
    for (int c = 0; c < ColonneElenco; ++c) {
        griglia->setHorizontalHeaderItem(c, new QTableWidgetItem(IntestazioneColonna(c)));
        griglia->setColumnWidth(c, platform::twips(LarghezzaColonna(c, righeGriglia)));
    }
}

bool FlussoRigaGriglia(const QTableWidget *griglia, int riga, DatiCorbex &flow)
{
    const QTableWidgetItem *data = griglia->item(riga, 0);
    if (!data || !data->data(RuoloChiave).canConvert<DatiCorbex>())
        return false;
    flow = data->data(RuoloChiave).value<DatiCorbex>();
    return true;
}

}  // namespace uimain
