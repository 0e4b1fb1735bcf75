#include "fit.h"

#include "platform/application.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSizeGrip>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOption>
#include <QTabWidget>
#include <QTableView>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

namespace {

QString nome(const QWidget *w)
{
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

// A caption as drawn: without the access-key marks.
QString testoMostrato(QString text)
{
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(u'&');
    text.replace(u'\x01', u'&');
    return text;
}

int larghezzaTesto(const QFontMetrics &fm, const QString &text)
{
    int widest = 0;
    for (const QString &line : text.split(u'\n'))
        widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

// Whether a line of text fits a width and a height in a font.
QString nonEntra(const QWidget *w, const QString &text, QSize spazio)
{
    const QFontMetrics fm(w->font());
    const int righe = int(text.count(u'\n')) + 1;
    const int larghezza = larghezzaTesto(fm, text);
    const int altezza = righe == 1 ? fm.height() : righe * fm.lineSpacing();
    if (larghezza <= spazio.width() && altezza <= spazio.height())
        return {};
    return QStringLiteral("%1: \"%2\" needs %3x%4, has %5x%6")
        .arg(nome(w), text)
        .arg(larghezza)
        .arg(altezza)
        .arg(spazio.width())
        .arg(spazio.height());
}

QString etichetta(const QLabel *l)
{
    if (l->text().isEmpty() || !l->pixmap().isNull())
        return {};
    QString text = l->textFormat() == Qt::RichText || (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(l->text()))
                       ? QString()
                       : l->text();
    if (text.isEmpty())
        return {};
    text = testoMostrato(text);
    const QRect area = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    if (!l->wordWrap())
        return nonEntra(l, text, area.size());
    // The height the label asks for at its width, in its font.
    const int needed = l->heightForWidth(l->width());
    if (needed <= l->height())
        return {};
    return QStringLiteral("%1: \"%2\" wrapped needs %3 high, has %4x%5")
        .arg(nome(l), text)
        .arg(needed)
        .arg(l->width())
        .arg(l->height());
}

QString pulsante(const QAbstractButton *b)
{
    if (b->text().isEmpty())
        return {};
    const QString text = testoMostrato(b->text());
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    opt.icon = b->icon();
    opt.iconSize = b->iconSize();
    QStyle::SubElement elemento = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox *>(b))
        elemento = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton *>(b))
        elemento = QStyle::SE_RadioButtonContents;
    QRect area = b->style()->subElementRect(elemento, &opt, b);
    if (elemento == QStyle::SE_PushButtonContents) {
        // The text is drawn inside the button's frame and margins.
        const int margine = b->style()->pixelMetric(QStyle::PM_ButtonMargin, &opt, b) / 2;
        area.adjust(margine, 0, -margine, 0);
    }
    if (qobject_cast<const QToolButton *>(b))
        area = b->rect().adjusted(3, 3, -3, -3);
    if (!b->icon().isNull())
        area.adjust(b->iconSize().width() + 4, 0, 0, 0);
    return nonEntra(b, text, area.size());
}

QString campo(const QLineEdit *e)
{
    if (e->text().isEmpty() || e->echoMode() != QLineEdit::Normal)
        return {};
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
    QRect area = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e);
    const QMargins m = e->textMargins();
    area = area.marginsRemoved(m).adjusted(2, 1, -2, -1);  // the line edit's own horizontal and vertical margins
    return nonEntra(e, e->text(), area.size());
}

QString elenco(const QComboBox *c)
{
    QStyleOptionComboBox opt;
    opt.initFrom(c);
    opt.editable = c->isEditable();
    opt.frame = c->hasFrame();
    const QRect area = c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c);
    if (c->isEditable())
        if (const QString d = nonEntra(c, c->currentText(), area.size() - QSize(4, 0)); !d.isEmpty())
            return d;
    for (int i = 0; i < c->count(); ++i)
        if (const QString d = nonEntra(c, c->itemText(i), area.size()); !d.isEmpty())
            return d;
    return {};
}

QString gruppo(const QGroupBox *g)
{
    if (g->title().isEmpty())
        return {};
    QStyleOptionGroupBox opt;
    opt.initFrom(g);
    opt.text = g->title();
    opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    opt.textAlignment = g->alignment();
    opt.lineWidth = 1;
    const QRect label = g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
    const QFontMetrics fm(g->font());
    // A trailing blank is not drawn.
    const QString title = testoMostrato(g->title()).trimmed();
    if (label.right() < g->width() && fm.horizontalAdvance(title) <= label.width())
        return {};
    return QStringLiteral("%1: title \"%2\" needs %3, has %4 from %5 in %6")
        .arg(nome(g), g->title())
        .arg(fm.horizontalAdvance(title))
        .arg(label.width())
        .arg(label.x())
        .arg(g->width());
}

// Every cell text in the first rows, and the column headers, within their
// columns: a table's, or a list's with columns (the file dialog's).
QStringList griglia(const QAbstractItemView *t, const QHeaderView *intestazione, bool aCapo)
{
    QStringList difetti;
    const QAbstractItemModel *model = t->model();
    if (!model)
        return difetti;
    const int margine = t->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, t) + 1;
    const int larghezzaIcona = t->iconSize().isValid() ? t->iconSize().width()
                                                       : t->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, t);
    // The columns within the view: no scroll bar to reach the last one.
    int larghezzaColonne = 0;
    for (int c = 0; c < model->columnCount(t->rootIndex()); ++c)
        if (!intestazione->isSectionHidden(c))
            larghezzaColonne += intestazione->sectionSize(c);
    if (larghezzaColonne > t->viewport()->width())
        difetti << QStringLiteral("%1: columns %2 wide in a view of %3")
                       .arg(nome(t))
                       .arg(larghezzaColonne)
                       .arg(t->viewport()->width());
    for (int c = 0; c < model->columnCount(t->rootIndex()); ++c) {
        if (intestazione->isSectionHidden(c) || intestazione->sectionSize(c) == 0)
            continue;
        const int spazio = intestazione->sectionSize(c) - 2 * margine;
        if (intestazione->isVisible()) {
            const QString header = model->headerData(c, Qt::Horizontal).toString();
            // The header of the current column is drawn in bold.
            QFont headerFont = intestazione->font();
            if (intestazione->highlightSections())
                headerFont.setBold(true);
            const QFontMetrics hf(headerFont);
            // The header draws its own margins and, on sorting, an arrow.
            const int headerMargin = t->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, t);
            if (hf.horizontalAdvance(header) > intestazione->sectionSize(c) - 2 * headerMargin)
                difetti << QStringLiteral("%1: header \"%2\" does not fit column %3 (%4)")
                               .arg(nome(t), header)
                               .arg(c)
                               .arg(intestazione->sectionSize(c));
        }
        for (int r = 0; r < std::min(model->rowCount(t->rootIndex()), 50); ++r) {
            const QModelIndex i = model->index(r, c, t->rootIndex());
            const QString text = i.data().toString();
            QFont f = t->font();
            if (const QVariant font = i.data(Qt::FontRole); font.isValid())
                f = font.value<QFont>();
            const int icona = i.data(Qt::DecorationRole).isValid() ? larghezzaIcona + 4 : 0;
            int larghezza = QFontMetrics(f).horizontalAdvance(text);
            // A grid that wraps words shows a long text on the lines its row
            // has room for.
            if (aCapo && larghezza + icona > spazio) {
                const QRect testo = QFontMetrics(f).boundingRect(QRect(0, 0, spazio - icona, 100000),
                                                                 Qt::TextWordWrap, text);
                if (testo.height() <= t->visualRect(i).height())
                    larghezza = testo.width();
            }
            if (larghezza + icona > spazio)
                difetti << QStringLiteral("%1: cell %2,%3 \"%4\" needs %5, has %6")
                               .arg(nome(t))
                               .arg(r)
                               .arg(c)
                               .arg(text)
                               .arg(larghezza + icona)
                               .arg(spazio);
        }
    }
    return difetti;
}

// The widgets a composite control is made of are its own business.
bool composto(const QWidget *w)
{
    return qobject_cast<const QAbstractScrollArea *>(w) || qobject_cast<const QComboBox *>(w)
           || qobject_cast<const QAbstractSpinBox *>(w) || qobject_cast<const QAbstractButton *>(w)
           || qobject_cast<const QLineEdit *>(w) || qobject_cast<const QProgressBar *>(w)
           || qobject_cast<const QToolBar *>(w) || qobject_cast<const QStatusBar *>(w)
           || qobject_cast<const QMenuBar *>(w) || qobject_cast<const QTabBar *>(w);
}

void esamina(QWidget *parent, QStringList &difetti)
{
    QList<QWidget *> controlli;
    for (QObject *o : parent->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (!w || w->isWindow() || w->isHidden())
            continue;
        // Out of view: wholly outside its parent.
        if (!parent->rect().intersects(w->geometry()))
            continue;
        controlli << w;
    }
    for (QWidget *w : controlli) {
        if (!parent->rect().contains(w->geometry()) && !qobject_cast<QMainWindow *>(parent))
            difetti << QStringLiteral("%1: partly outside %2 (%3,%4 %5x%6 in %7x%8)")
                           .arg(nome(w), nome(parent))
                           .arg(w->x())
                           .arg(w->y())
                           .arg(w->width())
                           .arg(w->height())
                           .arg(parent->width())
                           .arg(parent->height());
        QString d;
        if (auto *l = qobject_cast<QLabel *>(w))
            d = etichetta(l);
        else if (auto *b = qobject_cast<QAbstractButton *>(w))
            d = pulsante(b);
        else if (auto *e = qobject_cast<QLineEdit *>(w))
            d = campo(e);
        else if (auto *c = qobject_cast<QComboBox *>(w))
            d = elenco(c);
        else if (auto *g = qobject_cast<QGroupBox *>(w))
            d = gruppo(g);
        else if (auto *t = qobject_cast<QTableView *>(w))
            difetti << griglia(t, t->horizontalHeader(), t->wordWrap());
        else if (auto *v = qobject_cast<QTreeView *>(w))
            difetti << griglia(v, v->header(), v->wordWrap());
        if (!d.isEmpty())
            difetti << d;
        if (!composto(w))
            esamina(w, difetti);
    }
    // Siblings laid out by hand must not cover each other.
    if (qobject_cast<QMainWindow *>(parent) || qobject_cast<QTabWidget *>(parent))
        return;
    // Controls floating over a grid (its check boxes, the button on its
    // corner) or set in a bare panel are placed there on purpose; the
    // floating controls must not cover each other.
    const auto sfondo = [](const QWidget *v) {
        return qobject_cast<const QAbstractItemView *>(v)
               || (v->metaObject() == &QFrame::staticMetaObject && v->children().isEmpty());
    };
    // A size grip lies in its window's corner, over whatever is there.
    const auto galleggia = [&](const QWidget *w, const QWidget *v) {
        return (sfondo(v) && v->geometry().contains(w->geometry())) || qobject_cast<const QSizeGrip *>(w);
    };
    for (int i = 0; i < controlli.size(); ++i)
        for (int j = i + 1; j < controlli.size(); ++j)
            if (!galleggia(controlli[i], controlli[j]) && !galleggia(controlli[j], controlli[i])
                && controlli[i]->geometry().intersects(controlli[j]->geometry()))
                difetti << QStringLiteral("%1 overlaps %2").arg(nome(controlli[i]), nome(controlli[j]));
    // A control floating over a grid's cell (a check box on its row) lies
    // within that cell, not over the grid's lines or the next row.
    for (QWidget *w : controlli)
        for (QWidget *v : controlli) {
            auto *grid = qobject_cast<QAbstractItemView *>(v);
            if (!grid || w == v || !galleggia(w, v))
                continue;
            const QRect sopra(grid->viewport()->mapFrom(parent, w->pos()), w->size());
            const QModelIndex cella = grid->indexAt(sopra.center());
            if (cella.isValid() && !grid->visualRect(cella).contains(sopra))
                difetti << QStringLiteral("%1: %2x%3 over cell %4,%5 of %6, %7x%8")
                               .arg(nome(w))
                               .arg(w->width())
                               .arg(w->height())
                               .arg(cella.row())
                               .arg(cella.column())
                               .arg(nome(grid))
                               .arg(grid->visualRect(cella).width())
                               .arg(grid->visualRect(cella).height());
        }
}

}  // namespace

QStringList difettiFinestra(QWidget *window)
{
    QStringList difetti;
    esamina(window, difetti);
    const int larghezza = window->frameGeometry().width() > window->width() ? window->frameGeometry().width()
                                                                             : window->width();
    const int altezza = window->height() + platform::AltezzaCornice(window);
    if (larghezza > 1024 || altezza > 768)
        difetti << QStringLiteral("window %1x%2 larger than 1024x768").arg(larghezza).arg(altezza);
    return difetti;
}
