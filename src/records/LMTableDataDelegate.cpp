// LMTableDataDelegate: editors per datatype (text, formatted number, options pop-up, list tokens, file path),
// the "Edit" segment of relationship cells, media buttons and the focused-cell frame.
#include "LMTableDataDelegate.h"
#include "DesignVocabulary.h"

#include "LMCellImages.h"
#include "LMTableDataTableView.h"
#include "LMTableEditModel.h"
#include "LMTableEditView.h"
#include "OXDatabase.h"
#include "Ui.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

namespace {
Datatype typeOf(const QModelIndex &index)
{
    return Datatypes::fromName(index.data(LMTableEditModel::DatatypeRole).toString());
}

QRect segmentRect(const QRect &cell)
{
    const int width = qMin(cell.width() - 4, 38);
    return QRect(cell.center().x() - width / 2, cell.top() + 2, width, cell.height() - 4);
}
} // namespace

LMTableDataDelegate::LMTableDataDelegate(LMTableDataTableView *view) : QStyledItemDelegate(view), m_view(view) {}

QWidget *LMTableDataDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                           const QModelIndex &index) const
{
    Q_UNUSED(option)
    const Datatype type = typeOf(index);
    if (type == Datatype::Options) {
        auto *combo = new QComboBox(parent);
        combo->setFrame(false);
        combo->addItems(m_view->gridModel()->optionTitlesAt(index.column()));
        return combo;
    }
    auto *line = new QLineEdit(parent);
    line->setFrame(false);
    if (type == Datatype::Number)
        line->setAlignment(Qt::AlignRight);
    // A date is typed in the field's own form or in ISO 8601 ("1990-03-03").
    if (type == Datatype::Date)
        line->setPlaceholderText(QStringLiteral("YYYY-MM-DD"));
    return line;
}

void LMTableDataDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    LMTableEditModel *model = m_view->gridModel();
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        combo->setCurrentIndex(int(model->displayValue(index.column(), index.row()).toInt()));
        return;
    }
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (!line)
        return;
    if (typeOf(index) == Datatype::List) {
        // Joined with the field's own separator, so that reading the text back gives the same items.
        const Value list = model->displayValue(index.column(), index.row());
        line->setText(
            m_view->database()->addFormattingToObject(list, m_view->pureName(), model->fieldAt(index.column())).text);
        return;
    }
    line->setText(model->displayText(index.column(), index.row()));
}

std::optional<Value> LMTableDataDelegate::valueOfText(const QString &text, const QModelIndex &index) const
{
    const Datatype type = typeOf(index);
    LMTableEditModel *model = m_view->gridModel();
    if (type == Datatype::Number || type == Datatype::Date) {
        if (text.trimmed().isEmpty())
            return Value();
        Value value = model->formatterAt(index.column()).parse(text);
        if (value.isNull() && type == Datatype::Number) {
            bool ok = false;
            const double plain = text.trimmed().toDouble(&ok);
            if (ok)
                value = Value(plain);
        }
        // Text that is no number or date is refused, as a formatted field refuses it.
        if (value.isNull())
            return std::nullopt;
        return value;
    }
    if (type == Datatype::List) {
        const Value items =
            m_view->database()->removeFormattingFromString(text, m_view->pureName(), model->fieldAt(index.column()));
        QStringList tokens;
        for (const QString &token : items.toStringList())
            if (!token.trimmed().isEmpty())
                tokens << token.trimmed();
        return Value(tokens);
    }
    return Value(text);
}

void LMTableDataDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    Value value;
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        // No option chosen (a stored title that is no longer among the options): the cell keeps its value.
        if (combo->currentIndex() < 0)
            return;
        value = Value(combo->currentIndex());
    } else if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        const std::optional<Value> parsed = valueOfText(line->text(), index);
        if (!parsed) {
            Ui::instance().beep();
            m_view->noteRefusedEdit();
            return;
        }
        value = *parsed;
    }
    if (!model->setData(index, QVariant::fromValue(value), Qt::EditRole))
        m_view->noteRefusedEdit();
}

void LMTableDataDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const Datatype type = typeOf(index);
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    // A plain one-line text is drawn here with one text layout; the style lays out each cell's text three times
    // (to size, to elide and to draw), which is most of the cost of painting a screen of cells.
    const bool plain = !text.isEmpty() &&
                       !(item.features & (QStyleOptionViewItem::WrapText | QStyleOptionViewItem::HasCheckIndicator |
                                          QStyleOptionViewItem::HasDecoration)) &&
                       !text.contains(QLatin1Char('\n')) && !text.contains(QChar::LineSeparator);
    if (plain)
        item.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
    if (plain)
        drawPlainText(painter, item, text, style);
    m_view->dataSource()->noteDisplayedText(index.column(), text);
    if (type == Datatype::Relationship) {
        QStyleOptionButton button;
        button.rect = segmentRect(option.rect);
        button.text = QStringLiteral("Edit");
        button.state = QStyle::State_Enabled;
        QFont font = option.font;
        font.setPointSizeF(qMax(6.0, font.pointSizeF() - 2));
        painter->save();
        painter->setFont(font);
        button.fontMetrics = QFontMetrics(font);
        QApplication::style()->drawControl(QStyle::CE_PushButton, &button, painter);
        painter->restore();
    } else if (Datatypes::isMedia(type)) {
        const QPixmap image = LMCellImages::image(LMTableEditModel::imageNameForDatatype(Datatypes::name(type)));
        const QPoint topLeft(option.rect.center().x() - image.width() / 2,
                             option.rect.center().y() - image.height() / 2);
        painter->drawPixmap(topLeft, image);
    }
    if (index.row() == m_view->focusedRow() && index.column() == m_view->focusedColumn()) {
        painter->save();
        painter->setPen(QPen(option.palette.color(QPalette::Highlight).darker(130), 2));
        painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
        painter->restore();
    }
}

void LMTableDataDelegate::drawPlainText(QPainter *painter, const QStyleOptionViewItem &item, const QString &text,
                                        const QStyle *style) const
{
    // The pen, margins and elision the style uses for an item's text.
    QPalette::ColorGroup group = item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(item.state & QStyle::State_Active))
        group = QPalette::Inactive;
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, item.widget) + 1;
    const QRect rect = item.rect.adjusted(margin, 0, -margin, 0);
    QString shown = text;
    // Only a text that may not fit is measured.
    if (qint64(text.size()) * item.fontMetrics.maxWidth() > rect.width())
        shown = item.fontMetrics.elidedText(text, item.textElideMode, rect.width());
    painter->save();
    painter->setFont(item.font);
    painter->setPen(
        item.palette.color(group, item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(rect, int(QStyle::visualAlignment(item.direction, item.displayAlignment)) | Qt::TextSingleLine,
                      shown);
    painter->restore();
}

QSize LMTableDataDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (typeOf(index) == Datatype::Relationship)
        size.setWidth(qMax(size.width(), 42));
    return size;
}

bool LMTableDataDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                      const QModelIndex &index)
{
    if (typeOf(index) == Datatype::Relationship && event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && segmentRect(option.rect).contains(mouse->position().toPoint())) {
            m_view->setFocusedCell(index.row(), index.column());
            m_view->dataSource()->setObjectValue(Value(), m_view->gridModel()->fieldAt(index.column()), index.row());
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
