// The item and view kind tables, and the view registry: texts round-trip, modes follow the item kinds,
// factories are found by kind and later registrations win.
#include "ItemKind.h"
#include "LMIdentifiedView.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"
#include "TestEnvironment.h"
#include "ViewKind.h"

#include <QTest>

Q_DECLARE_METATYPE(ViewKind)

namespace {
class NamedView : public LMViewController {
public:
    NamedView(const QString &identifier, const QString &name) : label(name), m_view(new LMIdentifiedView(identifier))
    {
        m_view->setController(this);
    }
    ~NamedView() override { delete m_view; }
    QString identifier() const override { return m_view->identifier(); }
    LMIdentifiedView *view() override { return m_view; }
    QString label;

private:
    LMIdentifiedView *m_view;
};

LMViewRegistry::Factory namedFactory(const QString &label)
{
    return [label](const LMViewContext &, const LMViewRequest &request) {
        return std::unique_ptr<LMViewController>(std::make_unique<NamedView>(request.identifier(), label));
    };
}
} // namespace

class TestKindsAndRegistry : public QObject {
    Q_OBJECT
private slots:
    void everyViewKindHasItsOwnIdentifier()
    {
        QStringList seen;
        for (ViewKind kind : ViewKinds::all()) {
            const QString identifier = ViewKinds::identifier(kind);
            QVERIFY2(!identifier.isEmpty(), "a kind without identifier");
            QVERIFY2(!seen.contains(identifier), qPrintable(identifier));
            seen << identifier;
            QCOMPARE(ViewKinds::fromIdentifier(identifier), std::optional<ViewKind>(kind));
        }
        QVERIFY(!ViewKinds::fromIdentifier("Tables").has_value());
    }

    void viewKindsDescribeTheirTabs_data()
    {
        QTest::addColumn<ViewKind>("kind");
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("newLabel");
        QTest::newRow("overview") << ViewKind::Overview << "Overview"
                                  << "Overview"
                                  << "Overview 16"
                                  << "";
        QTest::newRow("table edit") << ViewKind::TableEdit << "Table Edit"
                                    << "Tables"
                                    << "Tables 16"
                                    << "New Table";
        QTest::newRow("table design") << ViewKind::TableDesign << "Table Design"
                                      << "Tables"
                                      << "Tables 16"
                                      << "New Table";
        QTest::newRow("query") << ViewKind::Query << "Query"
                               << "Queries"
                               << "Tables 16"
                               << "New Query";
        QTest::newRow("form data") << ViewKind::FormData << "Form Data"
                                   << "Forms"
                                   << "Forms small"
                                   << "New Form";
        QTest::newRow("form design") << ViewKind::FormDesign << "Form Design"
                                     << "Forms"
                                     << "Forms small"
                                     << "New Form";
        QTest::newRow("reports") << ViewKind::Reports << "Reports"
                                 << "Reports"
                                 << "Report 16"
                                 << "New Report";
        QTest::newRow("script") << ViewKind::Script << "Script"
                                << "Scripts"
                                << "Scripts small"
                                << "New Script";
        QTest::newRow("sql") << ViewKind::SQL << "SQL"
                             << ""
                             << "Command Line 16"
                             << "";
        QTest::newRow("relationship") << ViewKind::Relationship << "Relationship"
                                      << ""
                                      << "Relationships 16"
                                      << "";
        QTest::newRow("users") << ViewKind::UsersGroups << "Users Groups"
                               << ""
                               << "Users small"
                               << "";
        QTest::newRow("find") << ViewKind::Find << "Find"
                              << ""
                              << "Find 16"
                              << "";
        QTest::newRow("chooser") << ViewKind::Chooser << "Chooser"
                                 << ""
                                 << "Chooser 16"
                                 << "";
    }

    void viewKindsDescribeTheirTabs()
    {
        QFETCH(ViewKind, kind);
        QFETCH(QString, identifier);
        QFETCH(QString, mode);
        QFETCH(QString, icon);
        QFETCH(QString, newLabel);
        QCOMPARE(ViewKinds::identifier(kind), identifier);
        QCOMPARE(ViewKinds::mode(kind), mode);
        QCOMPARE(ViewKinds::modeOfIdentifier(identifier), mode);
        QCOMPARE(ViewKinds::info(kind).icon, icon);
        QCOMPARE(ViewKinds::newItemLabel(kind), newLabel);
    }

    void itemKindsRoundTripTheirTexts()
    {
        QCOMPARE(ItemKinds::all().size(), 5);
        QStringList modes;
        for (ItemKind kind : ItemKinds::all()) {
            QCOMPARE(ItemKinds::fromMode(ItemKinds::mode(kind)), std::optional<ItemKind>(kind));
            QCOMPARE(ItemKinds::fromType(ItemKinds::type(kind)), std::optional<ItemKind>(kind));
            modes << ItemKinds::mode(kind);
        }
        QCOMPARE(modes, (QStringList{"Tables", "Queries", "Forms", "Reports", "Scripts"}));
        QCOMPARE(ItemKinds::type(ItemKind::Table), QStringLiteral("Table"));
        QVERIFY(!ItemKinds::fromMode("Users").has_value());
        QVERIFY(!ItemKinds::fromType("Tables").has_value());
    }

    void modeListAndModeButtonsComeFromTheKinds()
    {
        QCOMPARE(ViewKinds::modes(), (QStringList{"Overview", "Tables", "Queries", "Forms", "Reports", "Scripts"}));
        QStringList titles;
        for (const ViewKinds::ModeButton &button : ViewKinds::modeButtons()) {
            titles << button.title;
            QCOMPARE(ViewKinds::fromModeButton(button.title), std::optional<ViewKind>(button.kind));
            QCOMPARE(ViewKinds::modeButtonTitle(button.kind), button.title);
        }
        QCOMPARE(titles, (QStringList{"Table Design", "Table Data", "Form Design", "Form Data"}));
        // The grid's button is no view identifier, and the identifier is no button.
        QVERIFY(!ViewKinds::fromModeButton(ViewKinds::identifier(ViewKind::TableEdit)).has_value());
        QVERIFY(ViewKinds::modeButtonTitle(ViewKind::Query).isEmpty());
    }

    void registryFindsFactoriesByKind()
    {
        TestEnvironment env;
        LMViewRegistry registry;
        LMViewRequest request;
        request.kind = ViewKind::Reports;
        QVERIFY(!registry.hasFactory(ViewKind::Reports));
        QVERIFY(!registry.create(LMViewContext{}, request));

        registry.setFactory(ViewKind::Reports, namedFactory("placeholder"));
        registry.setFactory(ViewKind::Reports, namedFactory("feature"));
        registry.setFactory(ViewKind::Script, namedFactory("script"));
        std::unique_ptr<LMViewController> made = registry.create(LMViewContext{}, request);
        QVERIFY(made);
        QCOMPARE(made->identifier(), QStringLiteral("Reports"));
        QCOMPARE(static_cast<NamedView *>(made.get())->label, QStringLiteral("feature"));

        registry.clear();
        QVERIFY(!registry.hasFactory(ViewKind::Script));
        QVERIFY(!registry.create(LMViewContext{}, request));
    }

    void formGeneratorIsOptional()
    {
        TestEnvironment env;
        auto doc = MyDocument::createNew();
        LMViewRegistry registry;
        QCOMPARE(registry.generateForm(*doc, "People"), QString());
        QString askedFor;
        registry.setFormGenerator([&](MyDocument &, const QString &table) {
            askedFor = table;
            return QStringLiteral("%1 Form").arg(table);
        });
        QCOMPARE(registry.generateForm(*doc, "People"), QStringLiteral("People Form"));
        QCOMPARE(askedFor, QStringLiteral("People"));
    }
};

QTEST_MAIN(TestKindsAndRegistry)
#include "test_kinds_and_registry.moc"
