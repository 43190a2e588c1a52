#include "Widgets/Models/configurationtree.h"
#include "Widgets/Models/proptreeitem.h"
#include "Widgets/Models/proptreemodel.h"
#include "mainwindow.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QRandomGenerator>
#include <QTest>
#include <QTreeView>
#include <QXmlStreamReader>

#include <DockAreaWidget.h>
#include <DockManager.h>
#include <DockWidget.h>
#include <spdlog/logger.h>
#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/ostream_sink.h>
#include <spdlog/spdlog.h>

#include <memory>
#include <sstream>

namespace {

using Nodes = std::vector<std::unique_ptr<ConfigurationNode>>;

struct Reading
{
    Nodes nodes;
    QStringList log;
};

// Reads `document` with a logger of its own whose lines are the bare messages. Each message is closed by a
// record separator, a character XML text cannot hold, so no name can split a line.
Reading readDocument(const QByteArray &document)
{
    std::ostringstream stream;
    auto sink = std::make_shared<spdlog::sinks::ostream_sink_st>(stream);
    sink->set_formatter(std::make_unique<spdlog::pattern_formatter>("%v", spdlog::pattern_time_type::local, "\x1e"));
    auto logger = std::make_shared<spdlog::logger>("reader", sink);

    QXmlStreamReader xml(document);
    Reading reading;
    reading.nodes = readConfigurations(xml, logger);
    reading.log = QString::fromStdString(stream.str()).split(QChar(0x1e));
    reading.log.removeLast();
    return reading;
}

QByteArray sample(const QString &name)
{
    QFile file(QFINDTESTDATA("data/" + name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing sample %s", qPrintable(name));
    return file.readAll();
}

QString describe(const QVariant &value)
{
    return value.isValid() ? QStringLiteral("%1 %2").arg(QLatin1String(value.typeName()), value.toString())
                           : QStringLiteral("invalid");
}

// "name | type code | default | step size", options indented under their category.
QStringList describe(const Nodes &categories)
{
    auto line = [](const ConfigurationNode &node) {
        return QStringLiteral("%1 | %2 | %3 | %4")
            .arg(node.name, QString::number(int(node.type)), describe(node.defaultValue),
                 node.stepSize ? describe(*node.stepSize) : QStringLiteral("none"));
    };
    QStringList lines;
    for (const auto &category : categories) {
        lines << line(*category);
        for (const auto &option : category->children) {
            lines << QStringLiteral("  ") + line(*option);
            if (!option->children.empty())
                lines << QStringLiteral("  (option with children)");
        }
    }
    return lines;
}

int nodeCount(const Nodes &categories)
{
    int count = 0;
    for (const auto &category : categories)
        count += 1 + int(category->children.size());
    return count;
}

QByteArray inRoot(const QByteArray &body)
{
    return "<slmconfigs>" + body + "</slmconfigs>";
}

} // namespace

class TestModels : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void readerBuildsNodesAndLogsNames_data();
    void readerBuildsNodesAndLogsNames();
    void readerSkipsDeepNestingWithoutRecursion_data();
    void readerSkipsDeepNestingWithoutRecursion();
    void readerSurvivesMalformedDocuments();
    void configurationTreeReadsTheFileButShowsNothing();

    void itemKeepsChildrenInRowOrder();
    void itemDataOutsideItsColumnsIsInvalid();
    void itemRowNeedsItsParentToHoldIt();
    void destroyingTheRootFreesTheWholeTree();

    void propertyModelPassesTheModelTester();
    void propertyModelHoldsTheFixedSettings_data();
    void propertyModelHoldsTheFixedSettings();
    void propertyModelCountsFollowTheChildren();
    void propertyModelGivesNoIndexOutsideTheContent();
    void propertyModelParentsAreInColumnZero();
    void propertyModelAnswersOnlyTheDisplayRole();
    void propertyModelIsReadOnly();

    void panelShowsTheModelExpandedAtTheLeft();
    void viewMenuTogglesThePropertyDock();
    void panelStartsNoEditor();
    void windowDestroysTheModelBeforeTheView();

private:
    MainWindow *makeWindow();
    QTreeView *propertyView(MainWindow *window);

    std::unique_ptr<MainWindow> m_window;
};

void TestModels::cleanup()
{
    m_window.reset();
    // The window registers its logger process-wide; each case starts afresh.
    spdlog::drop_all();
}

void TestModels::readerBuildsNodesAndLogsNames_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QStringList>("nodes");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("worked example") << sample("example.xml") << QStringList{"General | 0 | invalid | none",
                                                                            "  Count | 0 | int 12 | int 2",
                                                                            "  Scale | 1 | double 1.5 | none",
                                                                            "  Mode | 2 | QString Fast | none",
                                                                            "Advanced | 0 | invalid | none",
                                                                            "  Enabled | 3 | QString true | none",
                                                                            "  Level | 4 | float 0.25 | int 0"}
                                    << QStringList{"General", "Count", "Scale", "Mode", "Advanced", "Enabled", "Level"};

    QTest::newRow("other root") << QByteArray("<configs><config category=\"A\"><option name=\"x\"/></config></configs>")
                                << QStringList{} << QStringList{};
    QTest::newRow("root in other case") << QByteArray("<SLMConfigs><config category=\"A\"/></SLMConfigs>")
                                        << QStringList{} << QStringList{};
    QTest::newRow("empty file") << QByteArray() << QStringList{} << QStringList{};
    QTest::newRow("prolog and comments only")
        << QByteArray("<?xml version=\"1.0\"?>\n<!-- nothing -->\n<?pi here?>\n") << QStringList{} << QStringList{};

    QTest::newRow("options outside a config")
        << inRoot("<option name=\"Loose\"/>"
                  "<wrap><config category=\"Nested\"><option name=\"Deep\"/></config></wrap>"
                  "<config category=\"A\"><x><option name=\"Inner\"/></x>text<!-- c --><option name=\"B\"/></config>"
                  "<Config category=\"Capital\"/>")
        << QStringList{"A | 0 | invalid | none", "  B | 0 | int 0 | none"} << QStringList{"A", "B"};

    QTest::newRow("option with content")
        << inRoot("<config category=\"A\"><option name=\"First\" default=\"1\">text<option name=\"Inside\"/>"
                  "<b><c/></b></option><Option name=\"Capital\"/><option default=\"2\" name=\"Second\"/></config>")
        << QStringList{"A | 0 | invalid | none", "  First | 0 | int 1 | none", "  Second | 0 | int 2 | none"}
        << QStringList{"A", "First", "Second"};

    QTest::newRow("empty, repeated and unnamed")
        << inRoot("<config category=\"A\"/><config category=\"A\"><option name=\"o\"/><option name=\"o\" "
                  "type=\"double\"/></config><config><option type=\"dropdown\"/><option type=\"slider\"/>"
                  "<option type=\"check\"/></config>")
        << QStringList{"A | 0 | invalid | none",    "A | 0 | invalid | none",  "  o | 0 | int 0 | none",
                       "  o | 1 | double 0 | none", " | 0 | invalid | none",   "   | 2 | QString  | none",
                       "   | 4 | float 0 | none",   "   | 3 | QString  | none"}
        << QStringList{"A", "A", "o", "o", "", "", "", ""};

    QTest::newRow("type names are case-sensitive")
        << inRoot("<config category=\"T\"><option name=\"a\" type=\"Double\" default=\"1.5\"/>"
                  "<option name=\"b\" type=\"INT\" default=\"5\"/><option name=\"c\" type=\"\" default=\"6\"/>"
                  "<option name=\"d\" type=\"float\" default=\"7\"/></config>")
        << QStringList{"T | 0 | invalid | none", "  a | 0 | int 0 | none", "  b | 0 | int 5 | none",
                       "  c | 0 | int 6 | none", "  d | 0 | int 7 | none"}
        << QStringList{"T", "a", "b", "c", "d"};

    QTest::newRow("step sizes") << inRoot("<config category=\"S\"><option name=\"empty\" stepsize=\"\"/>"
                                          "<option name=\"fraction\" type=\"double\" stepsize=\"0.5\"/>"
                                          "<option name=\"word\" type=\"slider\" stepsize=\"fine\"/>"
                                          "<option name=\"check\" type=\"check\" stepsize=\"3\"/>"
                                          "<option name=\"drop\" type=\"dropdown\" stepsize=\"-4\"/>"
                                          "<option name=\"huge\" stepsize=\"99999999999\"/></config>")
                                << QStringList{"S | 0 | invalid | none",
                                               "  empty | 0 | int 0 | none",
                                               "  fraction | 1 | double 0 | int 0",
                                               "  word | 4 | float 0 | int 0",
                                               "  check | 3 | QString  | int 3",
                                               "  drop | 2 | QString  | int -4",
                                               "  huge | 0 | int 0 | int 0"}
                                << QStringList{"S", "empty", "fraction", "word", "check", "drop", "huge"};

    QTest::newRow("int defaults at and beyond 32 bits")
        << inRoot("<config category=\"I\"><option name=\"max\" default=\"2147483647\"/>"
                  "<option name=\"min\" default=\"-2147483648\"/><option name=\"over\" default=\"2147483648\"/>"
                  "<option name=\"under\" default=\"-2147483649\"/><option name=\"big\" default=\"4294967296\"/>"
                  "<option name=\"junk\" default=\"12abc\"/><option name=\"frac\" default=\"1.5\"/>"
                  "<option name=\"flag\" type=\"check\" default=\"maybe\"/></config>")
        << QStringList{"I | 0 | invalid | none",
                       "  max | 0 | int 2147483647 | none",
                       "  min | 0 | int -2147483648 | none",
                       "  over | 0 | int 0 | none",
                       "  under | 0 | int 0 | none",
                       "  big | 0 | int 0 | none",
                       "  junk | 0 | int 0 | none",
                       "  frac | 0 | int 0 | none",
                       "  flag | 3 | QString maybe | none"}
        << QStringList{"I", "max", "min", "over", "under", "big", "junk", "frac", "flag"};

    const QString braces = QStringLiteral("{} {0} {:>8} %s");
    const QString foreign = QStringLiteral("Zürich µ-Optik 原子 😀 &<\"");
    QTest::newRow("names logged exactly")
        << inRoot("<config category=\"{} {0} {:&gt;8} %s\"><option name=\"Zürich µ-Optik 原子 😀 &amp;&lt;&quot;\" "
                  "type=\"dropdown\" default=\"{x}\"/></config>")
        << QStringList{braces + " | 0 | invalid | none", "  " + foreign + " | 2 | QString {x} | none"}
        << QStringList{braces, foreign};

    QTest::newRow("cut off inside the second category")
        << sample("cut-in-second-category.xml")
        << QStringList{"Optics | 0 | invalid | none", "  Focus | 1 | double 2.5 | none", "  Zoom | 0 | int 3 | none",
                       "Trap | 0 | invalid | none", "  Depth | 4 | float 0.75 | none"}
        << QStringList{"Optics", "Focus", "Zoom", "Trap", "Depth"};

    QTest::newRow("mismatched end tag")
        << inRoot("<config category=\"A\"><option name=\"x\" default=\"1\"/></wrong><option name=\"y\"/></config>"
                  "<config category=\"B\"/>")
        << QStringList{"A | 0 | invalid | none", "  x | 0 | int 1 | none"} << QStringList{"A", "x"};
    QTest::newRow("broken inside an option")
        << inRoot("<config category=\"A\"><option name=\"x\"><a></b></option><option name=\"y\"/></config>")
        << QStringList{"A | 0 | invalid | none", "  x | 0 | int 0 | none"} << QStringList{"A", "x"};
    QTest::newRow("undeclared entity") << inRoot("<config category=\"A\"><option name=\"&bogus;\"/></config>")
                                       << QStringList{"A | 0 | invalid | none"} << QStringList{"A"};
    QTest::newRow("text before the root")
        << QByteArray("junk<slmconfigs><config category=\"A\"/></slmconfigs>") << QStringList{} << QStringList{};
}

void TestModels::readerBuildsNodesAndLogsNames()
{
    QFETCH(QByteArray, document);
    QFETCH(QStringList, nodes);
    QFETCH(QStringList, log);

    const Reading reading = readDocument(document);
    QCOMPARE(describe(reading.nodes), nodes);
    QCOMPARE(reading.log, log);
}

void TestModels::readerSkipsDeepNestingWithoutRecursion_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QStringList>("log");

    constexpr int depth = 100000;
    const QByteArray open = QByteArray("<x>").repeated(depth);
    const QByteArray close = QByteArray("</x>").repeated(depth);
    const QByteArray after = "<option name=\"after\"/></config>";

    QTest::newRow("under the root") << inRoot(open + close + "<config category=\"A\">" + after)
                                    << QStringList{"A", "after"};
    QTest::newRow("inside a config") << inRoot("<config category=\"A\">" + open + close + after)
                                     << QStringList{"A", "after"};
    QTest::newRow("inside an option") << inRoot("<config category=\"A\"><option name=\"deep\">" + open + close +
                                                "</option>" + after)
                                      << QStringList{"A", "deep", "after"};
    QTest::newRow("never closed") << QByteArray("<slmconfigs><config category=\"A\"><option name=\"deep\">" + open)
                                  << QStringList{"A", "deep"};
}

void TestModels::readerSkipsDeepNestingWithoutRecursion()
{
    QFETCH(QByteArray, document);
    QFETCH(QStringList, log);
    QCOMPARE(readDocument(document).log, log);
}

void TestModels::readerSurvivesMalformedDocuments()
{
    const QByteArray example = sample("example.xml");
    const QStringList fullLog = readDocument(example).log;

    // Cut at every byte: what is read is always a prefix of what the whole file gives.
    for (int length = 0; length <= example.size(); ++length) {
        const Reading reading = readDocument(example.left(length));
        QCOMPARE(reading.log, fullLog.mid(0, reading.log.size()));
        QCOMPARE(nodeCount(reading.nodes), reading.log.size());
    }
    QCOMPARE(readDocument(example).log.size(), 7);

    // Corrupted copies and random bytes after a valid opening; every node is logged exactly once.
    QRandomGenerator random(4711);
    for (int round = 0; round < 20000; ++round) {
        QByteArray document;
        if (round % 2 == 0) {
            document = example;
            for (int hits = random.bounded(1, 8); hits > 0; --hits) {
                const int at = random.bounded(int(document.size()));
                switch (random.bounded(3)) {
                case 0:
                    document[at] = char(random.bounded(256));
                    break;
                case 1:
                    document.remove(at, random.bounded(1, 16));
                    break;
                default:
                    document.insert(at, example.mid(random.bounded(int(example.size())), random.bounded(1, 32)));
                }
            }
        } else {
            document = "<slmconfigs><config category=\"r\">";
            for (int n = random.bounded(512); n > 0; --n)
                document += char(random.bounded(256));
        }
        const Reading reading = readDocument(document);
        QCOMPARE(nodeCount(reading.nodes), reading.log.size());
    }

    // Entity expansion is capped by the stream reader; the bomb stops the reader instead of eating memory.
    QByteArray bomb = "<?xml version=\"1.0\"?><!DOCTYPE slmconfigs [<!ENTITY a0 \"aaaaaaaaaa\">";
    for (int level = 1; level < 10; ++level)
        bomb += QStringLiteral("<!ENTITY a%1 \"%2\">")
                    .arg(level)
                    .arg(QStringLiteral("&a%1;").arg(level - 1).repeated(10))
                    .toUtf8();
    bomb += "]><slmconfigs><config category=\"A\"><option name=\"&a9;\"/></config></slmconfigs>";
    const Reading reading = readDocument(bomb);
    QCOMPARE(reading.log, QStringList{"A"});
}

void TestModels::configurationTreeReadsTheFileButShowsNothing()
{
    std::ostringstream stream;
    auto sink = std::make_shared<spdlog::sinks::ostream_sink_st>(stream);
    sink->set_formatter(std::make_unique<spdlog::pattern_formatter>("%v", spdlog::pattern_time_type::local, ";"));
    auto logger = std::make_shared<spdlog::logger>("tree", sink);

    QFile file(QFINDTESTDATA("data/example.xml"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    ConfigurationTree tree(&xml, logger);
    QCOMPARE(stream.str(), std::string("General;Count;Scale;Mode;Advanced;Enabled;Level;"));
    QCOMPARE(logger.use_count(), 2);
    QCOMPARE(tree.metaObject()->className(), "ConfigurationTree");
    QVERIFY(!tree.QObject::parent());

    QAbstractItemModelTester tester(&tree, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QCOMPARE(tree.rowCount(), 0);
    QCOMPARE(tree.columnCount(), 0);
    QVERIFY(!tree.index(0, 0).isValid());
    QVERIFY(!tree.hasChildren());
    QVERIFY(!tree.headerData(0, Qt::Horizontal).isValid());
    QVERIFY(!tree.data(QModelIndex()).isValid());
    QCOMPARE(tree.flags(QModelIndex()), Qt::NoItemFlags);
}

void TestModels::itemKeepsChildrenInRowOrder()
{
    PropTreeItem root({"Property", "Value"});
    QCOMPARE(root.childCount(), 0);
    QVERIFY(!root.child(0));
    QCOMPARE(root.row(), 0);
    QVERIFY(!root.parentItem());

    PropTreeItem *added[3];
    for (int i = 0; i < 3; ++i) {
        auto child = std::make_unique<PropTreeItem>(QVariantList{i}, &root);
        added[i] = child.get();
        root.appendChild(std::move(child));
        QVERIFY(!child);
    }
    QCOMPARE(root.childCount(), 3);
    QCOMPARE(root.child(1), added[1]);
    QVERIFY(!root.child(-1));
    QVERIFY(!root.child(3));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(added[i]->row(), i);
        QCOMPARE(added[i]->parentItem(), &root);
        QCOMPARE(added[i]->data(0), QVariant(i));
    }
}

void TestModels::itemDataOutsideItsColumnsIsInvalid()
{
    const PropTreeItem item({QStringLiteral("Exposure"), 800});
    QCOMPARE(item.columnCount(), 2);
    QCOMPARE(item.data(0), QVariant(QStringLiteral("Exposure")));
    QCOMPARE(item.data(1), QVariant(800));
    QVERIFY(!item.data(-1).isValid());
    QVERIFY(!item.data(2).isValid());

    const PropTreeItem empty({});
    QCOMPARE(empty.columnCount(), 0);
    QVERIFY(!empty.data(0).isValid());
}

void TestModels::itemRowNeedsItsParentToHoldIt()
{
    PropTreeItem root({"root"});
    PropTreeItem other({"other"});

    // Without a parent an item is row 0, wherever it was appended.
    root.appendChild(std::make_unique<PropTreeItem>(QVariantList{"first"}));
    auto orphan = std::make_unique<PropTreeItem>(QVariantList{"orphan"});
    PropTreeItem *orphanItem = orphan.get();
    root.appendChild(std::move(orphan));
    QCOMPARE(root.child(1), orphanItem);
    QCOMPARE(orphanItem->row(), 0);
    QVERIFY(!orphanItem->parentItem());

    // An item its parent does not hold has no row.
    PropTreeItem unlisted({"unlisted"}, &root);
    QCOMPARE(unlisted.row(), -1);
    auto moved = std::make_unique<PropTreeItem>(QVariantList{"moved"}, &root);
    PropTreeItem *movedItem = moved.get();
    other.appendChild(std::move(moved));
    QCOMPARE(movedItem->parentItem(), &root);
    QCOMPARE(movedItem->row(), -1);

    // Equal values are not the same item.
    auto twin = std::make_unique<PropTreeItem>(QVariantList{"first"}, &root);
    PropTreeItem *twinItem = twin.get();
    root.appendChild(std::move(twin));
    QCOMPARE(twinItem->row(), 2);
}

void TestModels::destroyingTheRootFreesTheWholeTree()
{
    std::vector<std::weak_ptr<int>> values;
    auto tracked = [&values](int n) {
        auto value = std::make_shared<int>(n);
        values.push_back(value);
        return QVariant::fromValue(value);
    };

    auto root = std::make_unique<PropTreeItem>(QVariantList{tracked(0)});
    for (int c = 0; c < 3; ++c) {
        auto category = std::make_unique<PropTreeItem>(QVariantList{tracked(1)}, root.get());
        for (int s = 0; s < 4; ++s)
            category->appendChild(std::make_unique<PropTreeItem>(QVariantList{tracked(2), tracked(3)}, category.get()));
        root->appendChild(std::move(category));
    }
    QCOMPARE(values.size(), size_t(1 + 3 + 3 * 4 * 2));
    for (const auto &value : values)
        QVERIFY(!value.expired());

    root.reset();
    for (const auto &value : values)
        QVERIFY(value.expired());
}

void TestModels::propertyModelPassesTheModelTester()
{
    PropTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QCOMPARE(model.metaObject()->className(), "PropTreeModel");
}

void TestModels::propertyModelHoldsTheFixedSettings_data()
{
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("setting"); // -1: the category row itself
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");

    QTest::newRow("Camera") << 0 << -1 << "Camera" << QVariant();
    QTest::newRow("Exposure") << 0 << 0 << "Exposure" << QVariant("800");
    QTest::newRow("Aperture") << 0 << 1 << "Aperture" << QVariant("8.0");
    QTest::newRow("Frames") << 0 << 2 << "Frames" << QVariant("30");
    QTest::newRow("Save Directory") << 0 << 3 << "Save Directory" << QVariant("C:/");
    QTest::newRow("Experiment") << 1 << -1 << "Experiment" << QVariant();
    QTest::newRow("Number of Atoms") << 1 << 0 << "Number of Atoms" << QVariant("121");
    QTest::newRow("Configuration") << 1 << 1 << "Configuration" << QVariant("Square Array");
    QTest::newRow("Rotation (deg)") << 1 << 2 << "Rotation (deg)" << QVariant("45.0");
}

void TestModels::propertyModelHoldsTheFixedSettings()
{
    QFETCH(int, category);
    QFETCH(int, setting);
    QFETCH(QString, name);
    QFETCH(QVariant, value);

    PropTreeModel model;
    QModelIndex index = model.index(category, 0);
    if (setting >= 0)
        index = model.index(setting, 0, index);
    QVERIFY(index.isValid());

    const QVariant nameData = index.data();
    QCOMPARE(nameData.typeId(), QMetaType::QString);
    QCOMPARE(nameData.toString(), name);

    // The value column is reached the way a view does it: through sibling().
    const QVariant valueData = index.sibling(index.row(), 1).data();
    QCOMPARE(valueData.isValid(), value.isValid());
    if (value.isValid()) {
        QCOMPARE(valueData.typeId(), QMetaType::QString);
        QCOMPARE(valueData, value);
    }
}

void TestModels::propertyModelCountsFollowTheChildren()
{
    PropTreeModel model;
    const QModelIndex camera = model.index(0, 0);
    const QModelIndex experiment = model.index(1, 0);

    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.columnCount(), 2);
    QVERIFY(model.hasChildren());

    QCOMPARE(model.rowCount(camera), 4);
    QCOMPARE(model.columnCount(camera), 4);
    QVERIFY(model.hasChildren(camera));
    QCOMPARE(model.rowCount(experiment), 3);
    QCOMPARE(model.columnCount(experiment), 3);
    QVERIFY(model.hasChildren(experiment));

    for (const QModelIndex &category : {camera, experiment}) {
        const QModelIndex valueCell = model.index(category.row(), 1);
        QVERIFY(valueCell.isValid());
        QCOMPARE(model.rowCount(valueCell), 0);
        QVERIFY(!model.hasChildren(valueCell));
        for (int row = 0; row < model.rowCount(category); ++row) {
            for (int column = 0; column < 2; ++column) {
                const QModelIndex cell = model.index(row, column, category);
                QCOMPARE(model.rowCount(cell), 0);
                QCOMPARE(model.columnCount(cell), 0);
                QVERIFY(!model.hasChildren(cell));
            }
        }
    }
}

void TestModels::propertyModelGivesNoIndexOutsideTheContent()
{
    PropTreeModel model;
    const QModelIndex camera = model.index(0, 0);
    const QModelIndex experiment = model.index(1, 0);

    // Under "Camera" four columns exist, but only the first two carry values.
    QCOMPARE(model.index(0, 1, camera).data(), QVariant("800"));
    for (int column : {2, 3}) {
        const QModelIndex cell = model.index(0, column, camera);
        QVERIFY(cell.isValid());
        QVERIFY(!cell.data().isValid());
    }
    QVERIFY(!model.index(0, 4, camera).isValid());
    QVERIFY(model.index(2, 2, experiment).isValid());
    QVERIFY(!model.index(0, 3, experiment).isValid());

    QVERIFY(!model.index(2, 0).isValid());
    QVERIFY(!model.index(0, 2).isValid());
    QVERIFY(!model.index(4, 0, camera).isValid());
    QVERIFY(!model.index(3, 0, experiment).isValid());
    QVERIFY(!model.index(-1, 0).isValid());
    QVERIFY(!model.index(0, -1).isValid());
    QVERIFY(!model.index(0, 0, model.index(0, 0, camera)).isValid());
    QVERIFY(!model.index(0, 0, model.index(0, 1)).isValid());
    QVERIFY(!model.index(0, 1).data().isValid());
}

void TestModels::propertyModelParentsAreInColumnZero()
{
    PropTreeModel model;
    const QModelIndex camera = model.index(0, 0);
    const QModelIndex experiment = model.index(1, 0);

    QCOMPARE(model.index(0, 0, camera).parent(), camera);
    QCOMPARE(model.index(0, 1, camera).parent(), camera);
    QCOMPARE(model.index(3, 3, camera).parent(), camera);
    QCOMPARE(model.index(2, 1, experiment).parent(), experiment);
    QCOMPARE(experiment.parent(), QModelIndex());
    QCOMPARE(model.index(1, 1).parent(), QModelIndex());
    QCOMPARE(model.parent(QModelIndex()), QModelIndex());
}

void TestModels::propertyModelAnswersOnlyTheDisplayRole()
{
    PropTreeModel model;
    const QModelIndex exposure = model.index(0, 0, model.index(0, 0));
    QCOMPARE(exposure.data(Qt::DisplayRole), QVariant("Exposure"));
    for (int role : {int(Qt::EditRole), int(Qt::ToolTipRole), int(Qt::DecorationRole), int(Qt::UserRole)}) {
        QVERIFY(!exposure.data(role).isValid());
        QVERIFY(!model.headerData(0, Qt::Horizontal, role).isValid());
    }
    QVERIFY(!model.data(QModelIndex()).isValid());

    QCOMPARE(model.headerData(0, Qt::Horizontal), QVariant("Property"));
    QCOMPARE(model.headerData(1, Qt::Horizontal), QVariant("Value"));
    QVERIFY(!model.headerData(2, Qt::Horizontal).isValid());
    QVERIFY(!model.headerData(-1, Qt::Horizontal).isValid());
    for (int section : {-1, 0, 1, 2})
        QVERIFY(!model.headerData(section, Qt::Vertical).isValid());
}

void TestModels::propertyModelIsReadOnly()
{
    PropTreeModel model;
    const Qt::ItemFlags expected = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    for (int category = 0; category < 2; ++category) {
        const QModelIndex parent = model.index(category, 0);
        QCOMPARE(model.flags(parent), expected);
        QCOMPARE(model.flags(model.index(category, 1)), expected);
        for (int row = 0; row < model.rowCount(parent); ++row) {
            for (int column = 0; column < model.columnCount(parent); ++column)
                QCOMPARE(model.flags(model.index(row, column, parent)), expected);
        }
    }
    QCOMPARE(model.flags(QModelIndex()), Qt::NoItemFlags);

    const QModelIndex value = model.index(0, 1, model.index(0, 0));
    QVERIFY(!model.setData(value, QStringLiteral("900")));
    QVERIFY(!model.insertRows(0, 1));
    QCOMPARE(value.data(), QVariant("800"));
}

MainWindow *TestModels::makeWindow()
{
    m_window = std::make_unique<MainWindow>();
    return m_window.get();
}

QTreeView *TestModels::propertyView(MainWindow *window)
{
    for (auto *dock : window->findChildren<ads::CDockWidget *>()) {
        if (dock->windowTitle() == QLatin1String("Property Table"))
            return qobject_cast<QTreeView *>(dock->widget());
    }
    return nullptr;
}

void TestModels::panelShowsTheModelExpandedAtTheLeft()
{
    MainWindow *window = makeWindow();
    window->resize(1000, 700);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    QTreeView *view = propertyView(window);
    QVERIFY(view);
    auto *model = qobject_cast<PropTreeModel *>(view->model());
    QVERIFY(model);
    QVERIFY(!model->QObject::parent());

    QCOMPARE(view->header()->count(), 2);
    QCOMPARE(model->headerData(0, Qt::Horizontal), QVariant("Property"));
    QCOMPARE(model->headerData(1, Qt::Horizontal), QVariant("Value"));
    for (int row = 0; row < model->rowCount(); ++row)
        QVERIFY(view->isExpanded(model->index(row, 0)));
    // Every setting is laid out below its category, values included.
    const QModelIndex rotation = model->index(2, 1, model->index(1, 0));
    QVERIFY(view->visualRect(rotation).isValid());
    QVERIFY(view->indexAt(view->visualRect(rotation).center()) == rotation);

    auto *dock = qobject_cast<ads::CDockWidget *>(view->parentWidget());
    QVERIFY(dock);
    auto *manager = window->findChild<ads::CDockManager *>();
    QCOMPARE(dock->dockManager(), manager);
    const QRect propertyArea(dock->dockAreaWidget()->mapTo(window, QPoint(0, 0)), dock->dockAreaWidget()->size());
    ads::CDockAreaWidget *centre = manager->centralWidget()->dockAreaWidget();
    const QRect centreArea(centre->mapTo(window, QPoint(0, 0)), centre->size());
    QVERIFY2(propertyArea.right() < centreArea.left(), "the property table lies left of the centre");
}

void TestModels::viewMenuTogglesThePropertyDock()
{
    MainWindow *window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    auto *dock = qobject_cast<ads::CDockWidget *>(propertyView(window)->parentWidget());
    QVERIFY(dock);

    const QList<QAction *> entries = window->findChild<QMenu *>("menuView")->actions();
    QCOMPARE(entries.size(), 1);
    QAction *toggle = entries.first();
    QCOMPARE(toggle, dock->toggleViewAction());
    QCOMPARE(toggle->text(), QStringLiteral("Property Table"));
    QVERIFY(toggle->isChecked());
    QVERIFY(dock->isVisible());

    ads::CDockAreaWidget *area = dock->dockAreaWidget();
    toggle->trigger();
    QVERIFY(!toggle->isChecked());
    QVERIFY(dock->isClosed());
    QVERIFY(!dock->isVisible());

    toggle->trigger();
    QVERIFY(toggle->isChecked());
    QVERIFY(dock->isVisible());
    QCOMPARE(dock->dockAreaWidget(), area);

    dock->closeDockWidget();
    QVERIFY(!toggle->isChecked());
}

void TestModels::panelStartsNoEditor()
{
    MainWindow *window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTreeView *view = propertyView(window);
    const QModelIndex value = view->model()->index(0, 1, view->model()->index(0, 0));
    const QRect cell = view->visualRect(value);
    QVERIFY(cell.isValid());

    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(view->currentIndex(), value); // the clicks reached the cell
    QTest::keyClick(view, Qt::Key_F2);
    QVERIFY(!view->findChild<QLineEdit *>());
    QVERIFY(!view->indexWidget(value));
    QCOMPARE(value.data(), QVariant("800"));
}

void TestModels::windowDestroysTheModelBeforeTheView()
{
    MainWindow *window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTreeView *view = propertyView(window);
    QAbstractItemModel *model = view->model();
    // A selected and a current cell keep persistent indexes into the model while it goes.
    const QModelIndex value = model->index(1, 1, model->index(1, 0));
    view->setCurrentIndex(value);
    view->selectionModel()->select(value, QItemSelectionModel::Select);

    QStringList destroyed;
    connect(model, &QObject::destroyed, this, [&destroyed] { destroyed << "model"; });
    connect(view, &QObject::destroyed, this, [&destroyed] { destroyed << "view"; });
    m_window.reset();
    QCOMPARE(destroyed, QStringList({"model", "view"}));
}

QTEST_MAIN(TestModels)
#include "tst_models.moc"
