// OXSyntaxHighlighterController: the editor side of colouring and the colour defaults it relies on.
#include "OXSyntaxHighlighterController.h"

#include "ArchivedColor.h"
#include "OXSyntaxPrefController.h"
#include "Preferences.h"

#include <QPlainTextEdit>

namespace {
void storeColour(const QString &key, const QColor &colour)
{
    Preferences::instance().setValue(key, ArchivedColor::archive(colour));
}

QColor rgb(double r, double g, double b)
{
    return QColor::fromRgbF(float(r), float(g), float(b), 1);
}
} // namespace

OXSyntaxHighlighterController::OXSyntaxHighlighterController(QPlainTextEdit *textView) : m_textView(textView) {}

OXSyntaxHighlighterController::~OXSyntaxHighlighterController() = default;

QString OXSyntaxHighlighterController::defaultFontName()
{
    return QStringLiteral("DejaVu Sans Mono");
}

void OXSyntaxHighlighterController::registerEditorDefaults()
{
    Preferences &prefs = Preferences::instance();
    prefs.registerDefault(QStringLiteral("LMForm_Font_Name"), defaultFontName());
    prefs.registerDefault(QStringLiteral("HighlightCurrentLine"), true);
    prefs.registerDefault(QStringLiteral("ShowMatchingBraces"), true);
    if (!prefs.hasUserValue(QStringLiteral("LMForm_Color_Background")) ||
        !prefs.hasUserValue(QStringLiteral("LMForm_Color_Keywords")))
        setHighlightingStyle(QStringLiteral("Default"));
    if (!prefs.hasUserValue(QStringLiteral("OXSyntaxHighlighting")))
        OXSyntaxPrefController::setStyleNamed(OXSyntaxPrefController::defaultStyleName());
}

bool OXSyntaxHighlighterController::setHighlightingStyle(const QString &name)
{
    struct Preset {
        const char *key;
        double standard[3];
        double textMate[3];
    };
    static const Preset presets[] = {
        {"LMForm_Color_Background", {1.000, 1.000, 1.000}, {1.000, 1.000, 1.000}},
        {"LMForm_Color_Selection", {0.710, 0.835, 0.996}, {0.710, 0.835, 0.996}},
        {"LMForm_Color_Keywords", {0.467, 0.055, 0.314}, {0.118, 0.000, 0.984}},
        {"LMForm_Color_Strings", {0.537, 0.075, 0.094}, {0.000, 0.416, 0.055}},
        {"LMForm_Color_Numbers", {0.118, 0.000, 0.984}, {0.094, 0.000, 0.792}},
        {"LMForm_Color_Variables", {0.369, 0.141, 0.592}, {0.192, 0.518, 0.580}},
        {"LMForm_Color_Comments", {0.122, 0.443, 0.153}, {0.102, 0.392, 0.988}},
        {"LMForm_Color_APIFunctions", {0.192, 0.039, 0.424}, {0.235, 0.298, 0.447}},
    };
    const bool standard = name == QLatin1String("Default") || name == QLatin1String("Xcode");
    if (!standard && name != QLatin1String("TextMate"))
        return false;
    for (const Preset &p : presets) {
        const double *c = standard ? p.standard : p.textMate;
        storeColour(QString::fromLatin1(p.key), rgb(c[0], c[1], c[2]));
    }
    return true;
}

void OXSyntaxHighlighterController::awakeFromNib()
{
    registerEditorDefaults();
    Preferences &prefs = Preferences::instance();
    QFont font(prefs.stringValue(QStringLiteral("LMForm_Font_Name")), 12);
    font.setStyleHint(QFont::Monospace);
    m_textView->setFont(font);
    // Every editor writes these again, so they hold for the editor being set up.
    storeColour(QStringLiteral("CommandsColourWell"), Qt::black);
    storeColour(QStringLiteral("CommentsColourWell"), QColor::fromRgbF(0.475f, 0.475f, 0.475f, 1));
    storeColour(QStringLiteral("InstructionsColourWell"), Qt::black);
    storeColour(QStringLiteral("KeywordsColourWell"), rgb(0.604, 0.004, 0.043));
    storeColour(QStringLiteral("AutocompleteColourWell"), Qt::black);
    storeColour(QStringLiteral("StringsColourWell"), rgb(0.271, 0.294, 0.639));
    storeColour(QStringLiteral("VariablesColourWell"), rgb(0.494, 0.176, 0.376));
    storeColour(QStringLiteral("AttributesColourWell"), Qt::black);
    storeColour(QStringLiteral("HighlightLineColourWell"), Qt::black);
    for (const char *key : {"ColourCommands", "ColourInstructions", "ColourKeywords", "ColourAutocomplete",
                            "ColourVariables", "ColourStrings", "ColourAttributes", "ColourComments"})
        prefs.setValue(QString::fromLatin1(key), true);
    m_engine = std::make_unique<SMLSyntaxColouring>(this);
    highlight();
}

void OXSyntaxHighlighterController::highlight()
{
    if (m_engine && m_textView)
        m_engine->recolourRange(0, m_textView->document()->characterCount());
}

void OXSyntaxHighlighterController::textStorageDidProcessEditing()
{
    if (m_engine)
        m_engine->pageRecolour();
}

QVariant OXSyntaxHighlighterController::valueForKey(const QString &key) const
{
    if (key == QLatin1String("firstTextView"))
        return QVariant::fromValue(static_cast<QObject *>(m_textView));
    if (key == QLatin1String("isSyntaxColoured"))
        return true;
    return QVariant();
}
