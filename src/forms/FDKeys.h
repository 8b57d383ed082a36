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
