// FDControlWidgets: one Qt widget per stored class; attributes the widget has no counterpart for are ignored.
#include "FDControlWidgets.h"

#include "FDControlKinds.h"
#include "FDFontAttributes.h"
#include "FDKeys.h"
#include "FDShapeControl.h"
#include "HVAttachmentWell.h"
#include "HVFilePathWell.h"
#include "HVFormPopUpButton.h"
#include "HVFormProgressIndicator.h"
#include "HVFormRadioButtonMatrix.h"
#include "HVFormSegmentedControl.h"
#include "HVFormTextViewScrollView.h"
#include "HVMovieViewWell.h"
#include "HVNSImageView.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

using namespace FDKeys;

namespace {
class ShapeWidget : public QWidget {
public:
    ShapeWidget(const FDShapeControl &shape, QWidget *parent) : QWidget(parent), m_shape(shape) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        m_shape.draw(painter, QRectF(rect()));
    }

private:
    FDShapeControl m_shape;
};

QWidget *textField(const Value &a, QWidget *parent)
{
    if (!a.value(kEditable, true).toBool() && !a.value(kBordered, true).toBool()) {
        auto *label = new QLabel(a.value(kStringValue).toString(), parent);
        return label;
    }
    auto *edit = new QLineEdit(parent);
    edit->setPlaceholderText(a.value(kPlaceholderString).toString());
    edit->setText(a.value(kStringValue).toString());
    edit->setReadOnly(!a.value(kEditable, true).toBool());
    const int alignment = int(a.value(kAlignment).toInt());
    edit->setAlignment(alignment == 1 ? Qt::AlignRight : alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft);
    return edit;
}
} // namespace

namespace FDControlWidgets {
QWidget *createWidget(const Value &control, QWidget *parent)
{
    const QString cls = FDControlKinds::classOf(control);
    const QString title = FDControlKinds::titleOf(control);
    const Value a = control.isObject() ? control.attributes() : Value::dict();
    QWidget *widget = nullptr;
    if (cls == kTextField || cls == kTokenField) {
        widget = textField(a, parent);
    } else if (cls == kTextView) {
        auto *edit = new HVFormTextViewScrollView(parent);
        edit->setObjectValue(a.value(kStringValue));
        widget = edit;
    } else if (cls == kPopUpButton || cls == kFormPopUp) {
        auto *popUp = new HVFormPopUpButton(parent);
        popUp->setItemTitles(a.value(kItemTitles).toStringList());
        popUp->setObjectValue(a.value(kSelectedItemTitle));
        widget = popUp;
    } else if (cls == kDatePicker) {
        auto *picker = new QDateTimeEdit(QDateTime::currentDateTime(), parent);
        const bool date = a.value(kShowsDate, true).toBool(), time = a.value(kShowsTime).toBool();
        picker->setDisplayFormat(date && time ? QStringLiteral("yyyy-MM-dd HH:mm")
                                 : time       ? QStringLiteral("HH:mm:ss")
                                              : QStringLiteral("yyyy-MM-dd"));
        widget = picker;
    } else if (title == QLatin1String("Check Box")) {
        auto *box = new QCheckBox(a.value(kTitle).toString(), parent);
        box->setChecked(a.value(kState).toInt() != 0);
        widget = box;
    } else if (cls == kButton) {
        widget = new QPushButton(a.value(kTitle).toString(), parent);
    } else if (cls == kRadioGroup) {
        auto *radio = new HVFormRadioButtonMatrix(parent);
        radio->setOptions(a.value(kRadioOptions).toStringList());
        widget = radio;
    } else if (cls == kSegmented) {
        auto *segments = new HVFormSegmentedControl(parent);
        segments->setLabels(a.value(kLabels).toStringList());
        segments->setSelectedSegment(int(a.value(kSelectedSegment).toInt()));
        widget = segments;
    } else if (cls == kProgress) {
        auto *bar = new HVFormProgressIndicator(parent);
        bar->setIndeterminate(a.value(kIndeterminate).toBool());
        bar->setMinValue(a.value(kMinValue).toDouble());
        bar->setMaxValue(a.value(kMaxValue, 100.0).toDouble());
        bar->setObjectValue(a.value(kDoubleValue));
        widget = bar;
    } else if (cls == kImageView) {
        auto *image = new HVNSImageView(parent);
        image->setImageFrameStyle(int(a.value(kImageFrameStyle, 2).toInt()));
        image->setImageAlignment(int(a.value(kImageAlignment).toInt()));
        image->setImageScaling(int(a.value(kImageScaling, 3).toInt()));
        image->setAllowsCutCopyPaste(a.value(kAllowsCutCopyPaste, true).toBool());
        image->setEditable(a.value(kEditable, true).toBool());
        widget = image;
    } else if (cls == kMovieWell) {
        auto *movie = new HVMovieViewWell(parent);
        movie->setControllerVisible(a.value(kControllerVisible, true).toBool());
        movie->setPreservesAspectRatio(a.value(kPreservesAspectRatio, true).toBool());
        movie->setEditable(a.value(kEditable, true).toBool());
        widget = movie;
    } else if (cls == kAttachmentWell) {
        auto *attachment = new HVAttachmentWell(parent);
        attachment->setInForm(a.value(kInForm, true).toBool());
        attachment->setEditable(a.value(kEditable, true).toBool());
        widget = attachment;
    } else if (cls == kFilePathWell) {
        auto *path = new HVFilePathWell(parent);
        path->setEditable(a.value(kEditable, true).toBool());
        widget = path;
    } else if (cls == kShape) {
        widget = new ShapeWidget(FDShapeControl::fromControl(control), parent);
    } else {
        // Groups, and controls whose data could not be read: an empty box.
        auto *frame = new QFrame(parent);
        frame->setFrameShape(cls == kGroup ? QFrame::Box : QFrame::StyledPanel);
        widget = frame;
    }
    if (FDFontAttributes::storesFont(control))
        FDFontAttributes::of(control).applyTo(widget);
    widget->setEnabled(a.value(kEnabled, true).toBool() || cls == kShape);
    widget->setToolTip(a.value(kToolTip).toString());
    return widget;
}
} // namespace FDControlWidgets
