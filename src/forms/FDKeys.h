// FDKeys: the stored vocabulary of form definitions, control entries, info dictionaries and control kinds.
#pragma once

#include "DesignVocabulary.h"

#include <QString>

namespace FDKeys {
// Form definition.
inline const QString &kName = DesignKey::Name;
inline const QString &kContentTable = DesignKey::ContentTable;
inline const QString kCanvas = QStringLiteral("Canvas");
inline const QString kControls = QStringLiteral("Controls");

// Canvas settings.
inline const QString kShowGrid = QStringLiteral("Show Grid");
inline const QString kSnapToGrid = QStringLiteral("Snap To Grid");
inline const QString kBackgroundColor = QStringLiteral("Background Color");
inline const QString kMinorLineColor = QStringLiteral("Minor Line Color");
inline const QString kMajorLineColor = QStringLiteral("Major Line Color");
inline const QString kMinorLineSpacing = QStringLiteral("Minor Line Spacing");
inline const QString kMajorLineInterval = QStringLiteral("Major Line Interval");
inline const QString kUsesBackgroundColor = QStringLiteral("Uses Background Color");
inline const QString kCanvasSize = QStringLiteral("Canvas Size");

// Control entry.
inline const QString kClass = QStringLiteral("Class");
inline const QString kFrame = QStringLiteral("Frame");
inline const QString kSpringsStruts = QStringLiteral("Springs Struts");
inline const QString kInfo = QStringLiteral("Info");
inline const QString kControlData = QStringLiteral("Control Data");
inline const QString kIsLocked = QStringLiteral("Is Locked");

// Info dictionary.
inline const QString kUUID = QStringLiteral("UUID");
inline const QString kLabelText = QStringLiteral("Label Text");
inline const QString kScriptBridgeName = QStringLiteral("Script Bridge Name");
inline const QString kValuePath = QStringLiteral("Value Path");
inline const QString kTooltipPath = QStringLiteral("Tooltip Path");
inline const QString kEnabledPath = QStringLiteral("Enabled Path");
inline const QString kVisiblePath = QStringLiteral("Visible Path");
inline const QString kControlActionType = QStringLiteral("Control Action Type");
inline const QString kControlActionScript = QStringLiteral("Control Action Script");
inline const QString kTarget = QStringLiteral("Target");
inline const QString kAction = QStringLiteral("Action");
inline const QString kOutletValue = QStringLiteral("Outlet Value");
inline const QString kOutletKey = QStringLiteral("Outlet Key");
inline const QString kActionCall = QStringLiteral("Call");
inline const QString kActionRun = QStringLiteral("Run");

// Control attributes that the kinds' defaults, the widgets and the shape read and write.
inline const QString kEnabled = QStringLiteral("Enabled");
inline const QString kEditable = QStringLiteral("Editable");
inline const QString kBordered = QStringLiteral("Bordered");
inline const QString kStringValue = QStringLiteral("String Value");
inline const QString kToolTip = QStringLiteral("Tool Tip");
inline const QString kAlignment = QStringLiteral("Alignment");
inline const QString kPlaceholderString = QStringLiteral("Placeholder String");
inline const QString kSelectedItemTitle = QStringLiteral("Selected Item Title");
inline const QString kShowsDate = QStringLiteral("Shows Date");
inline const QString kShowsTime = QStringLiteral("Shows Time");
inline const QString kTitle = QStringLiteral("Title");
inline const QString kState = QStringLiteral("State");
inline const QString kImageFrameStyle = QStringLiteral("Image Frame Style");
inline const QString kImageAlignment = QStringLiteral("Image Alignment");
inline const QString kImageScaling = QStringLiteral("Image Scaling");
inline const QString kAllowsCutCopyPaste = QStringLiteral("Allows Cut Copy Paste");
inline const QString kControllerVisible = QStringLiteral("Controller Visible");
inline const QString kPreservesAspectRatio = QStringLiteral("Preserves Aspect Ratio");
inline const QString kInForm = QStringLiteral("In Form");
inline const QString kSelectedSegment = QStringLiteral("Selected Segment");
inline const QString kIndeterminate = QStringLiteral("Indeterminate");
inline const QString kMinValue = QStringLiteral("Min Value");
inline const QString kMaxValue = QStringLiteral("Max Value");
inline const QString kDoubleValue = QStringLiteral("Double Value");
inline const QString kShapeType = QStringLiteral("Shape Type");
inline const QString kStrokeColor = QStringLiteral("Stroke Color");
inline const QString kStrokeWidth = QStringLiteral("Stroke Width");
inline const QString kFillColor = QStringLiteral("Fill Color");
inline const QString kFillGradient = QStringLiteral("Fill Gradient");
inline const QString kFillGradientAngle = QStringLiteral("Fill Gradient Angle");

// Choice lists in the attributes of the controls that offer choices.
inline const QString kItemTitles = QStringLiteral("Item Titles"); // pop-up buttons
inline const QString kLabels = QStringLiteral("Labels");          // segmented controls
inline const QString kRadioOptions = QStringLiteral("Options");   // radio button groups

// The root key of every single-object archive (controls, colours, the pasteboard payload).
inline const QString kArchiveRoot = QStringLiteral("key");
// The pasteboard and drag type of copied controls.
inline const QString kPasteboardType = QStringLiteral("application/x-orvix-form-controls");

// Stored class names of the control kinds.
inline const QString kTextField = QStringLiteral("NSTextField");
inline const QString kTokenField = QStringLiteral("NSTokenField");
inline const QString kPopUpButton = QStringLiteral("NSPopUpButton");
inline const QString kDatePicker = QStringLiteral("HVFormDatePicker");
inline const QString kButton = QStringLiteral("NSButton");
inline const QString kImageView = QStringLiteral("HVNSImageView");
inline const QString kMovieWell = QStringLiteral("HVMovieViewWell");
inline const QString kAttachmentWell = QStringLiteral("HVAttachmentWell");
inline const QString kFilePathWell = QStringLiteral("HVFilePathWell");
inline const QString kTextView = QStringLiteral("HVFormTextViewScrollView");
inline const QString kRadioGroup = QStringLiteral("HVFormRadioButtonMatrix");
inline const QString kSegmented = QStringLiteral("HVFormSegmentedControl");
inline const QString kFormPopUp = QStringLiteral("HVFormPopUpButton");
inline const QString kProgress = QStringLiteral("HVFormProgressIndicator");
inline const QString kShape = QStringLiteral("FDShapeControl");
inline const QString kGroup = QStringLiteral("FDGroupControl");
// A plain label: a non-editable, borderless text field.
inline const QString kLabel = QStringLiteral("NSTextField");
} // namespace FDKeys
