#include "Widgets/Models/configurationtree.h"
#include "Widgets/Models/proptreeitem.h"
#include "Widgets/Models/proptreemodel.h"
#include "mainwindow.h"

#include "workspacesupport.h"

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

// A logger whose output is the bare messages, each closed by a record separator: XML text cannot hold that
// character, so no name can split a line.
std::shared_ptr<spdlog::logger> messageLogger(std::ostringstream &stream)
{
    auto sink = std::make_shared<spdlog::sinks::ostream_sink_st>(stream);
    sink->set_formatter(std::make_unique<spdlog::pattern_formatter>("%v", spdlog::pattern_time_type::local, "\x1e"));
    return std::make_shared<spdlog::logger>("reader", sink);
}

QStringList messages(const std::ostringstream &stream)
{
    QStringList lines = QString::fromStdString(stream.str()).split(QChar(0x1e));
    lines.removeLast();
    return lines;
}

struct Reading
{
    Nodes nodes;
    QStringList log;
};

Reading readDocument(const QByteArray &document)
{
    std::ostringstream stream;
    QXmlStreamReader xml(document);
    Reading reading;
    reading.nodes = readConfigurations(xml, messageLogger(stream));
    reading.log = messages(stream);
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
    return value.isValid() ? QStringLiteral("%1(%2)").arg(QLatin1String(value.typeName()), value.toString())
                           : QStringLiteral("-");
}

// "Category{option:type=default/step; ...}" per category, joined by spaces. A category that carries a type,
// value, step size or an option that has children would show up as a "!".
QString describe(const Nodes &categories)
{
    QStringList result;
    for (const auto &category : categories) {
        QStringList options;
        for (const auto &option : category->children) {
            options << QStringLiteral("%1:%2=%3/%4%5")
                           .arg(option->name, QString::number(int(option->type)), describe(option->defaultValue),
                                option->stepSize ? describe(*option->stepSize) : QStringLiteral("-"),
                                option->children.empty() ? QString() : QStringLiteral("!"));
        }
        const bool plain =
            category->type == OptionType::Int && !category->defaultValue.isValid() && !category->stepSize;
        result << category->name + (plain ? QString() : QStringLiteral("!")) + '{' + options.join("; ") + '}';
    }
    return result.join(' ');
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

QByteArray inConfig(const QByteArray &options)
{
    return inRoot("<config category=\"C\">" + options + "</config>");
}

} // namespace

class TestModels : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void readerBuildsNodesAndLogsNames_data();
    void readerBuildsNodesAndLogsNames();
    void readerSurvivesMalformedDocuments();
    void configurationTreeReadsTheFileButShowsNothing();

    void itemKeepsChildrenInRowOrder();
    void itemRowAndDataOutsideTheTree();

    void propertyModelPassesTheModelTester();
    void propertyModelHoldsTheFixedSettings_data();
    void propertyModelHoldsTheFixedSettings();
    void propertyModelShapeFollowsTheChildren();
    void propertyModelAnswersOnlyDisplayAndIsReadOnly();

    void panelShowsTheModelExpandedAtTheLeft();
    void viewMenuTogglesThePropertyDock();
    void panelStartsNoEditor();
    void windowDestroysTheModelBeforeTheView();

private:
    MainWindow *showWindow();
    QTreeView *propertyView();

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
    QTest::addColumn<QString>("nodes");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("worked example") << sample("example.xml")
                                    << "General{Count:0=int(12)/int(2); Scale:1=double(1.5)/-; Mode:2=QString(Fast)/-} "
                                       "Advanced{Enabled:3=QString(true)/-; Level:4=float(0.25)/int(0)}"
                                    << QStringList{"General", "Count", "Scale", "Mode", "Advanced", "Enabled", "Level"};

    QTest::newRow("other root") << QByteArray("<configs><config category=\"A\"><option name=\"x\"/></config></configs>")
                                << "" << QStringList{};
    QTest::newRow("root in other case") << QByteArray("<SLMConfigs><config category=\"A\"/></SLMConfigs>") << ""
                                        << QStringList{};
    QTest::newRow("empty file") << QByteArray() << "" << QStringList{};
    QTest::newRow("prolog and comments only")
        << QByteArray("<?xml version=\"1.0\"?>\n<!-- none -->\n<?pi x?>\n") << "" << QStringList{};
    QTest::newRow("text before the root")
        << QByteArray("junk<slmconfigs><config category=\"A\"/></slmconfigs>") << "" << QStringList{};

    QTest::newRow("options outside a config")
        << inRoot("<option name=\"Loose\"/><wrap><config category=\"Nested\"><option name=\"Deep\"/></config></wrap>"
                  "<config category=\"A\"><x><option name=\"Inner\"/></x>text<!-- c --><option name=\"B\"/></config>"
                  "<Config category=\"Capital\"/>")
        << "A{B:0=int(0)/-}" << QStringList{"A", "B"};
    QTest::newRow("option with content")
        << inConfig("<option name=\"First\" default=\"1\">text<option name=\"Inside\"/><b><c/></b></option>"
                    "<Option name=\"Capital\"/><option default=\"2\" name=\"Second\"/>")
        << "C{First:0=int(1)/-; Second:0=int(2)/-}" << QStringList{"C", "First", "Second"};
    QTest::newRow("empty, repeated and unnamed")
        << inRoot("<config category=\"A\"/><config category=\"A\"><option name=\"o\"/><option name=\"o\" "
                  "type=\"double\"/></config><config><option type=\"dropdown\"/><option type=\"slider\"/></config>")
        << "A{} A{o:0=int(0)/-; o:1=double(0)/-} {:2=QString()/-; :4=float(0)/-}"
        << QStringList{"A", "A", "o", "o", "", "", ""};

    QTest::newRow("type names are case-sensitive")
        << inConfig("<option name=\"a\" type=\"Double\" default=\"1.5\"/><option name=\"b\" type=\"INT\" "
                    "default=\"5\"/><option name=\"c\" type=\"\" default=\"6\"/><option name=\"d\" type=\"float\" "
                    "default=\"7\"/>")
        << "C{a:0=int(0)/-; b:0=int(5)/-; c:0=int(6)/-; d:0=int(7)/-}" << QStringList{"C", "a", "b", "c", "d"};
    QTest::newRow("step sizes")
        << inConfig("<option name=\"empty\" stepsize=\"\"/><option name=\"fraction\" type=\"double\" "
                    "stepsize=\"0.5\"/><option name=\"word\" type=\"slider\" stepsize=\"fine\"/><option "
                    "name=\"check\" type=\"check\" stepsize=\"3\"/><option name=\"drop\" type=\"dropdown\" "
                    "stepsize=\"-4\"/><option name=\"huge\" stepsize=\"99999999999\"/>")
        << "C{empty:0=int(0)/-; fraction:1=double(0)/int(0); word:4=float(0)/int(0); check:3=QString()/int(3); "
           "drop:2=QString()/int(-4); huge:0=int(0)/int(0)}"
        << QStringList{"C", "empty", "fraction", "word", "check", "drop", "huge"};
    QTest::newRow("int defaults at and beyond 32 bits")
        << inConfig("<option name=\"max\" default=\"2147483647\"/><option name=\"min\" default=\"-2147483648\"/>"
                    "<option name=\"over\" default=\"2147483648\"/><option name=\"under\" default=\"-2147483649\"/>"
                    "<option name=\"big\" default=\"4294967296\"/><option name=\"junk\" default=\"12abc\"/>"
                    "<option name=\"frac\" default=\"1.5\"/><option name=\"flag\" type=\"check\" default=\"maybe\"/>")
        << "C{max:0=int(2147483647)/-; min:0=int(-2147483648)/-; over:0=int(0)/-; under:0=int(0)/-; "
           "big:0=int(0)/-; junk:0=int(0)/-; frac:0=int(0)/-; flag:3=QString(maybe)/-}"
        << QStringList{"C", "max", "min", "over", "under", "big", "junk", "frac", "flag"};

    const QString braces = QStringLiteral("{} {0} {:>8} %s");
    const QString foreign = QStringLiteral("Zürich µ-Optik 原子 😀 &<\"");
    QTest::newRow("names logged exactly")
        << inRoot("<config category=\"{} {0} {:&gt;8} %s\"><option name=\"Zürich µ-Optik 原子 😀 &amp;&lt;&quot;\" "
                  "type=\"dropdown\" default=\"{x}\"/></config>")
        << braces + "{" + foreign + ":2=QString({x})/-}" << QStringList{braces, foreign};

    QTest::newRow("cut off inside the second category")
        << sample("cut-in-second-category.xml")
        << "Optics{Focus:1=double(2.5)/-; Zoom:0=int(3)/-} Trap{Depth:4=float(0.75)/-}"
        << QStringList{"Optics", "Focus", "Zoom", "Trap", "Depth"};
    QTest::newRow("mismatched end tag") << inRoot("<config category=\"A\"><option name=\"x\"/></wrong><option "
                                                  "name=\"y\"/></config><config category=\"B\"/>")
                                        << "A{x:0=int(0)/-}" << QStringList{"A", "x"};
    QTest::newRow("broken inside an option") << inConfig("<option name=\"x\"><a></b></option><option name=\"y\"/>")
                                             << "C{x:0=int(0)/-}" << QStringList{"C", "x"};
    QTest::newRow("undeclared entity") << inConfig("<option name=\"&bogus;\"/>") << "C{}" << QStringList{"C"};

    // Entity expansion is capped by the stream reader: the bomb stops the reader instead of eating memory.
    QByteArray bomb = "<?xml version=\"1.0\"?><!DOCTYPE slmconfigs [<!ENTITY a0 \"aaaaaaaaaa\">";
    for (int level = 1; level < 10; ++level)
        bomb += "<!ENTITY a" + QByteArray::number(level) + " \"" +
                ("&a" + QByteArray::number(level - 1) + ";").repeated(10) + "\">";
    QTest::newRow("entity bomb") << bomb + "]>" + inConfig("<option name=\"&a9;\"/>") << "C{}" << QStringList{"C"};

    // Skipping must not recurse: 100,000 nested foreign elements in each place where the reader skips.
    const QByteArray open = QByteArray("<x>").repeated(100000);
    const QByteArray close = QByteArray("</x>").repeated(100000);
    const QByteArray after = "<option name=\"after\"/></config>";
    QTest::newRow("deep nesting under the root") << inRoot(open + close + "<config category=\"A\">" + after)
                                                 << "A{after:0=int(0)/-}" << QStringList{"A", "after"};
    QTest::newRow("deep nesting in a config") << inRoot("<config category=\"A\">" + open + close + after)
                                              << "A{after:0=int(0)/-}" << QStringList{"A", "after"};
    QTest::newRow("deep nesting in an option")
        << inRoot("<config category=\"A\"><option name=\"deep\">" + open + close + "</option>" + after)
        << "A{deep:0=int(0)/-; after:0=int(0)/-}" << QStringList{"A", "deep", "after"};
    QTest::newRow("deep nesting never closed") << "<slmconfigs><config category=\"A\"><option name=\"deep\">" + open
                                               << "A{deep:0=int(0)/-}" << QStringList{"A", "deep"};
}

void TestModels::readerBuildsNodesAndLogsNames()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, nodes);
    QFETCH(QStringList, log);

    const Reading reading = readDocument(document);
    QCOMPARE(describe(reading.nodes), nodes);
    QCOMPARE(reading.log, log);
}

void TestModels::readerSurvivesMalformedDocuments()
{
    const QByteArray example = sample("example.xml");
    const QStringList fullLog = readDocument(example).log;
    QCOMPARE(fullLog.size(), 7);

    // Cut at every byte: what is read is always a prefix of what the whole file gives.
    for (int length = 0; length < example.size(); ++length) {
        const Reading reading = readDocument(example.left(length));
        QCOMPARE(reading.log, fullLog.mid(0, reading.log.size()));
        QCOMPARE(nodeCount(reading.nodes), reading.log.size());
    }

    // Corrupted copies, and random bytes after a valid opening: every node read is logged exactly once.
    QRandomGenerator random(4711);
    for (int round = 0; round < 20000; ++round) {
        QByteArray document;
        if (round % 2 == 0) {
            document = example;
            for (int hits = random.bounded(1, 8); hits > 0; --hits) {
                const int at = random.bounded(int(document.size()));
                if (const int kind = random.bounded(3); kind == 0)
                    document[at] = char(random.bounded(256));
                else if (kind == 1)
                    document.remove(at, random.bounded(1, 16));
                else
                    document.insert(at, example.mid(random.bounded(int(example.size())), random.bounded(1, 32)));
            }
        } else {
            document = "<slmconfigs><config category=\"r\">";
            for (int n = random.bounded(512); n > 0; --n)
                document += char(random.bounded(256));
        }
        const Reading reading = readDocument(document);
        QCOMPARE(nodeCount(reading.nodes), reading.log.size());
    }
}

void TestModels::configurationTreeReadsTheFileButShowsNothing()
{
    std::ostringstream stream;
    auto logger = messageLogger(stream);
    QFile file(QFINDTESTDATA("data/example.xml"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);

    ConfigurationTree tree(&xml, logger);
    QCOMPARE(messages(stream), QStringList({"General", "Count", "Scale", "Mode", "Advanced", "Enabled", "Level"}));
    QCOMPARE(logger.use_count(), 2); // the tree keeps one copy, the readers none
    QCOMPARE(tree.metaObject()->className(), "ConfigurationTree");

    QAbstractItemModelTester tester(&tree, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QCOMPARE(tree.rowCount(), 0);
    QCOMPARE(tree.columnCount(), 0);
    QVERIFY(!tree.index(0, 0).isValid());
    QVERIFY(!tree.headerData(0, Qt::Horizontal).isValid());
    QCOMPARE(tree.flags(QModelIndex()), Qt::NoItemFlags);
}

void TestModels::itemKeepsChildrenInRowOrder()
{
    // Each value holds a shared pointer, so the test sees when the tree lets go of it.
    std::vector<std::weak_ptr<int>> values;
    auto tracked = [&values](int n) {
        auto value = std::make_shared<int>(n);
        values.push_back(value);
        return QVariant::fromValue(value);
    };

    auto root = std::make_unique<PropTreeItem>(QVariantList{tracked(0)});
    QCOMPARE(root->childCount(), 0);
    QVERIFY(!root->child(0));
    QCOMPARE(root->row(), 0);

    PropTreeItem *added[3];
    for (int i = 0; i < 3; ++i) {
        auto category = std::make_unique<PropTreeItem>(QVariantList{tracked(i)}, root.get());
        for (int s = 0; s < 4; ++s)
            category->appendChild(std::make_unique<PropTreeItem>(QVariantList{tracked(s), tracked(s)}, category.get()));
        added[i] = category.get();
        root->appendChild(std::move(category));
        QVERIFY(!category);
    }
    QCOMPARE(root->childCount(), 3);
    QCOMPARE(root->child(1), added[1]);
    QVERIFY(!root->child(-1));
    QVERIFY(!root->child(3));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(added[i]->row(), i);
        QCOMPARE(added[i]->parentItem(), root.get());
        QCOMPARE(added[i]->child(3)->row(), 3);
    }

    root.reset();
    QCOMPARE(values.size(), size_t(1 + 3 + 3 * 4 * 2));
    for (const auto &value : values)
        QVERIFY(value.expired());
}

void TestModels::itemRowAndDataOutsideTheTree()
{
    const PropTreeItem item({QStringLiteral("Exposure"), 800});
    QCOMPARE(item.columnCount(), 2);
    QCOMPARE(item.data(1), QVariant(800));
    QVERIFY(!item.data(-1).isValid());
    QVERIFY(!item.data(2).isValid());
    const PropTreeItem empty({});
    QCOMPARE(empty.columnCount(), 0);
    QVERIFY(!empty.data(0).isValid());

    // Without a parent an item is row 0, wherever it was appended.
    PropTreeItem root({"root"});
    root.appendChild(std::make_unique<PropTreeItem>(QVariantList{"first"}));
    PropTreeItem *orphan = root.child(0);
    QCOMPARE(orphan->row(), 0);
    QVERIFY(!orphan->parentItem());

    // An item its parent does not hold has no row; an item with equal values is not the same item.
    PropTreeItem unlisted({"first"}, &root);
    QCOMPARE(unlisted.row(), -1);
    PropTreeItem other({"other"});
    other.appendChild(std::make_unique<PropTreeItem>(QVariantList{"moved"}, &root));
    QCOMPARE(other.child(0)->parentItem(), &root);
    QCOMPARE(other.child(0)->row(), -1);
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
    QTest::addColumn<QString>("value"); // null: no value

    QTest::newRow("Camera") << 0 << -1 << "Camera" << QString();
    QTest::newRow("Exposure") << 0 << 0 << "Exposure"
                              << "800";
    QTest::newRow("Aperture") << 0 << 1 << "Aperture"
                              << "8.0";
    QTest::newRow("Frames") << 0 << 2 << "Frames"
                            << "30";
    QTest::newRow("Save Directory") << 0 << 3 << "Save Directory"
                                    << "C:/";
    QTest::newRow("Experiment") << 1 << -1 << "Experiment" << QString();
    QTest::newRow("Number of Atoms") << 1 << 0 << "Number of Atoms"
                                     << "121";
    QTest::newRow("Configuration") << 1 << 1 << "Configuration"
                                   << "Square Array";
    QTest::newRow("Rotation (deg)") << 1 << 2 << "Rotation (deg)"
                                    << "45.0";
}

void TestModels::propertyModelHoldsTheFixedSettings()
{
    QFETCH(int, category);
    QFETCH(int, setting);
    QFETCH(QString, name);
    QFETCH(QString, value);

    PropTreeModel model;
    QModelIndex index = model.index(category, 0);
    if (setting >= 0)
        index = model.index(setting, 0, index);
    QCOMPARE(index.data().typeId(), QMetaType::QString);
    QCOMPARE(index.data().toString(), name);

    // The value column is reached the way a view reaches it: through sibling().
    const QVariant valueData = index.sibling(index.row(), 1).data();
    QCOMPARE(valueData.isValid(), !value.isNull());
    if (!value.isNull())
        QCOMPARE(valueData, QVariant(value)); // a text, "800" included
}

void TestModels::propertyModelShapeFollowsTheChildren()
{
    PropTreeModel model;
    const QModelIndex camera = model.index(0, 0);
    const QModelIndex experiment = model.index(1, 0);

    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.columnCount(), 2);
    QCOMPARE(model.rowCount(camera), 4);
    QCOMPARE(model.columnCount(camera), 4);
    QCOMPARE(model.rowCount(experiment), 3);
    QCOMPARE(model.columnCount(experiment), 3);
    QCOMPARE(model.columnCount(model.index(0, 0, camera)), 0);
    QCOMPARE(model.columnCount(model.index(1, 1, experiment)), 0);
    QVERIFY(model.hasChildren() && model.hasChildren(camera) && model.hasChildren(experiment));
    for (const QModelIndex &leaf : {model.index(0, 1), model.index(0, 0, camera), model.index(2, 1, experiment)}) {
        QCOMPARE(model.rowCount(leaf), 0);
        QVERIFY(!model.hasChildren(leaf));
        QVERIFY(!model.index(0, 0, leaf).isValid());
    }

    // Under "Camera" four columns exist, of which only the first two carry values.
    QVERIFY(model.index(0, 3, camera).isValid());
    QVERIFY(!model.index(0, 3, camera).data().isValid());
    QVERIFY(!model.index(0, 4, camera).isValid());
    QVERIFY(model.index(2, 2, experiment).isValid());
    QVERIFY(!model.index(0, 3, experiment).isValid());
    for (const auto &[row, column, parent] : {std::tuple{2, 0, QModelIndex()},
                                              {0, 2, QModelIndex()},
                                              {4, 0, camera},
                                              {3, 0, experiment},
                                              {-1, 0, QModelIndex()},
                                              {0, -1, camera}})
        QVERIFY(!model.index(row, column, parent).isValid());

    // Parents are always in column 0.
    QCOMPARE(model.index(0, 1, camera).parent(), camera);
    QCOMPARE(model.index(3, 3, camera).parent(), camera);
    QCOMPARE(model.index(2, 1, experiment).parent(), experiment);
    QCOMPARE(model.index(1, 1).parent(), QModelIndex());
    QCOMPARE(model.parent(QModelIndex()), QModelIndex());
}

void TestModels::propertyModelAnswersOnlyDisplayAndIsReadOnly()
{
    PropTreeModel model;
    const QModelIndex exposure = model.index(0, 0, model.index(0, 0));
    for (int role : {int(Qt::EditRole), int(Qt::ToolTipRole), int(Qt::DecorationRole), int(Qt::UserRole)}) {
        QVERIFY(!exposure.data(role).isValid());
        QVERIFY(!model.headerData(0, Qt::Horizontal, role).isValid());
    }
    QVERIFY(!model.data(QModelIndex()).isValid());
    QCOMPARE(model.headerData(0, Qt::Horizontal), QVariant("Property"));
    QCOMPARE(model.headerData(1, Qt::Horizontal), QVariant("Value"));
    for (int section : {-1, 2})
        QVERIFY(!model.headerData(section, Qt::Horizontal).isValid());
    for (int section : {-1, 0, 1})
        QVERIFY(!model.headerData(section, Qt::Vertical).isValid());

    const Qt::ItemFlags readOnly = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    for (int category = 0; category < 2; ++category) {
        const QModelIndex parent = model.index(category, 0);
        QCOMPARE(model.flags(parent), readOnly);
        QCOMPARE(model.flags(model.index(category, 1)), readOnly);
        for (int row = 0; row < model.rowCount(parent); ++row) {
            for (int column = 0; column < model.columnCount(parent); ++column)
                QCOMPARE(model.flags(model.index(row, column, parent)), readOnly);
        }
    }
    QCOMPARE(model.flags(QModelIndex()), Qt::NoItemFlags);
    QVERIFY(!model.setData(exposure.siblingAtColumn(1), QStringLiteral("900")));
    QCOMPARE(exposure.siblingAtColumn(1).data(), QVariant("800"));
}

MainWindow *TestModels::showWindow()
{
    m_window = std::make_unique<MainWindow>();
    m_window->resize(1000, 700);
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        qWarning("window not exposed");
    return m_window.get();
}

QTreeView *TestModels::propertyView()
{
    ads::CDockWidget *dock = WorkspaceSupport::dockTitled(m_window.get(), QStringLiteral("Property Table"));
    return dock ? qobject_cast<QTreeView *>(dock->widget()) : nullptr;
}

void TestModels::panelShowsTheModelExpandedAtTheLeft()
{
    MainWindow *window = showWindow();
    QTreeView *view = propertyView();
    QVERIFY(view);
    auto *model = qobject_cast<PropTreeModel *>(view->model());
    QVERIFY(model);
    QVERIFY(!model->QObject::parent());

    QCOMPARE(view->header()->count(), 2);
    for (int row = 0; row < model->rowCount(); ++row)
        QVERIFY(view->isExpanded(model->index(row, 0)));
    // The last setting's value is laid out, so everything above it is too.
    const QModelIndex rotation = model->index(2, 1, model->index(1, 0));
    QCOMPARE(view->indexAt(view->visualRect(rotation).center()), rotation);

    auto *dock = qobject_cast<ads::CDockWidget *>(view->parentWidget());
    QVERIFY(dock);
    auto *manager = window->findChild<ads::CDockManager *>();
    QCOMPARE(dock->dockManager(), manager);
    auto *area = dock->dockAreaWidget();
    auto *centre = manager->centralWidget()->dockAreaWidget();
    QVERIFY(area->mapTo(window, QPoint(area->width(), 0)).x() < centre->mapTo(window, QPoint(0, 0)).x());
}

void TestModels::viewMenuTogglesThePropertyDock()
{
    MainWindow *window = showWindow();
    auto *dock = qobject_cast<ads::CDockWidget *>(propertyView()->parentWidget());
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
    showWindow();
    QTreeView *view = propertyView();
    const QModelIndex value = view->model()->index(0, 1, view->model()->index(0, 0));
    const QRect cell = view->visualRect(value);
    QVERIFY(cell.isValid());

    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(view->currentIndex(), value); // the clicks reached the cell
    QTest::keyClick(view, Qt::Key_F2);
    QVERIFY(!view->findChild<QLineEdit *>());
    QVERIFY(!view->indexWidget(value));
}

void TestModels::windowDestroysTheModelBeforeTheView()
{
    showWindow();
    QTreeView *view = propertyView();
    QAbstractItemModel *model = view->model();
    // A current and a selected cell keep persistent indexes into the model while it goes.
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
