#include "ui/tables/datacontrol.h"

#include "common/databases.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace uitables {

namespace {

QToolButton *moveButton(QWidget *parent, const char *name, const char *text)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString::fromUtf8(text));
    button->setAutoRaise(true);
    return button;
}

}  // namespace

DataControl::DataControl(QWidget *parent)
    : QWidget(parent),
      cmdFirst(moveButton(this, "cmdFirst", "|◀")),
      cmdPrevious(moveButton(this, "cmdPrevious", "◀")),
      cmdNext(moveButton(this, "cmdNext", "▶")),
      cmdLast(moveButton(this, "cmdLast", "▶|")),
      caption_(new QLabel(this))
{
    caption_->setObjectName(QStringLiteral("lblCaption"));
    caption_->setAlignment(Qt::AlignCenter);
    caption_->setFrameShape(QFrame::StyledPanel);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(cmdFirst);
    layout->addWidget(cmdPrevious);
    layout->addWidget(caption_, 1);
    layout->addWidget(cmdNext);
    layout->addWidget(cmdLast);
    connect(cmdFirst, &QToolButton::clicked, this, &DataControl::MoveFirst);
    connect(cmdPrevious, &QToolButton::clicked, this, &DataControl::MovePrevious);
    connect(cmdNext, &QToolButton::clicked, this, &DataControl::MoveNext);
    connect(cmdLast, &QToolButton::clicked, this, &DataControl::MoveLast);
}

dao::Database &DataControl::Database()
{
    if (!database_.isOpen())
        database_ = common::ApriDatabase(DatabaseName);
    return database_;
}

void DataControl::Refresh()
{
    recordset_.reset();
    if (RecordSource.isEmpty())
        return;
    recordset_ = Database().openRecordset(RecordSource, RecordSourceValues);
    emit Reposition();
}

QString DataControl::Caption() const { return caption_->text(); }

void DataControl::setCaption(const QString &caption) { caption_->setText(caption); }

void DataControl::move(void (dao::Recordset::*step)())
{
    if (!recordset_ || recordset_->recordCount() == 0)
        return;
    const int last = recordset_->recordCount() - 1;
    const int position = recordset_->absolutePosition();
    if ((step == &dao::Recordset::movePrevious && position == 0)
        || (step == &dao::Recordset::moveNext && position == last))
        return;
    (recordset_.get()->*step)();
    emit Reposition();
}

void DataControl::MoveFirst() { move(&dao::Recordset::moveFirst); }
void DataControl::MovePrevious() { move(&dao::Recordset::movePrevious); }
void DataControl::MoveNext() { move(&dao::Recordset::moveNext); }
void DataControl::MoveLast() { move(&dao::Recordset::moveLast); }

void DataControl::MoveTo(int position)
{
    if (!recordset_)
        return;
    recordset_->setAbsolutePosition(position);
    emit Reposition();
}

}  // namespace uitables
