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
#include <QThread>
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

// Runs `read` with a logger that writes the bare messages, each closed by a record separator (XML text cannot
// hold that character, so no name can split a line), and returns the messages.
template <typename Read> QStringList logged(Read read)
{
    std::ostringstream stream;
    auto sink = std::make_shared<spdlog::sinks::ostream_sink_st>(stream);
    sink->set_formatter(std::make_unique<spdlog::pattern_formatter>("%v", spdlog::pattern_time_type::local, "\x1e"));
    read(std::make_shared<spdlog::logger>("reader", sink));
    QStringList lines = QString::fromStdString(stream.str()).split(QChar(0x1e));
    lines.removeLast();
    return lines;
}

QString describe(const QVariant &value)
{
    return value.isValid() ? QStringLiteral("%1(%2)").arg(QLatin1String(value.typeName()), value.toString())
                           : QStringLiteral("-");
}

// The property table as its view lays it out, top to bottom: the header, then one line a row, the name and the
// value ("-" where there is none) apart by a tab; a setting is indented under its category.
QStringList shownTable(const QTreeView *view)
{
    const QAbstractItemModel *model = view->model();
    QStringList header;
    for (int section = 0; section < view->header()->count(); ++section)
        header << model->headerData(section, Qt::Horizontal).toString();
    QStringList lines{header.join('\t')};
    for (QModelIndex row = model->index(0, 0); row.isValid(); row = view->indexBelow(row)) {
        lines << QString(row.parent().isValid() ? "  " : "") + row.data().toString() + '\t' +
                     describe(row.siblingAtColumn(1).data());
    }
    return lines;
}

// "Category{option:type=default/step; ...}" per category, joined by spaces. A category that carries a type,
// value or step size, or an option that has children, shows up as a "!". `names` gets every name in order.
QString describe(const std::vector<std::unique_ptr<ConfigurationNode>> &categories, QStringList &names)
{
    QStringList result;
    for (const auto &category : categories) {
        names << category->name;
        QStringList options;
        for (const auto &option : category->children) {
            names << option->name;
            options << QStringLiteral("%1:%2=%3/%4%5")
                           .arg(option->name, QString::number(int(option->type)), describe(option->defaultValue),
                                option->stepSize ? describe(*option->stepSize) : QStringLiteral("-"),
                                option->children.empty() ? QString() : QStringLiteral("!"));
        }
        const bool plain =
            category->type == OptionType::Int && !category->defaultValue.isValid() && !category->stepSize;
        result << category->name + (plain ? "{" : "!{") + options.join("; ") + '}';
    }
    return result.join(' ');
}

// What the reader makes of a document.
struct Reading
{
    QString nodes;     // describe()
    QStringList names; // of the nodes, in reading order
    QStringList log;

    explicit Reading(const QByteArray &document)
    {
        QXmlStreamReader xml(document);
        log = logged([&](auto logger) { nodes = describe(readConfigurations(xml, logger), names); });
    }
};

QByteArray sample(const QString &name)
{
    QFile file(QFINDTESTDATA("data/" + name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

QByteArray inRoot(const QByteArray &body)
{
    return "<slmconfigs>" + body + "</slmconfigs>";
}

QByteArray inConfig(const QByteArray &options)
{
    return inRoot("<config category='C'>" + options + "</config>");
}

const QStringList exampleLog{"General", "Count", "Scale", "Mode", "Advanced", "Enabled", "Level"};

} // namespace

class TestModels : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { spdlog::drop_all(); } // the window registers its logger process-wide

    void readerBuildsNodesAndLogsTheirNames_data();
    void readerBuildsNodesAndLogsTheirNames();
    void readerSurvivesMalformedDocuments();
    void configurationTreeReadsTheFileButShowsNothing();

    void itemHoldsRowsAndOwnsItsTree();

    void propertyModelShape_data();
    void propertyModelShape();
    void propertyModelIsReadOnlyDisplayText();

    void panelShowsTheSettingsAtTheLeftBehindTheViewMenu();
};

void TestModels::readerBuildsNodesAndLogsTheirNames_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("nodes");

    QTest::newRow("worked example") << sample("example.xml")
                                    << "General{Count:0=int(12)/int(2); Scale:1=double(1.5)/-; Mode:2=QString(Fast)/-} "
                                       "Advanced{Enabled:3=QString(true)/-; Level:4=float(0.25)/int(0)}";
    QTest::newRow("other root") << QByteArray("<configs><config category='A'/></configs>") << "";
    QTest::newRow("root in other case") << QByteArray("<SLMConfigs><config category='A'/></SLMConfigs>") << "";
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("prolog and comments only") << QByteArray("<?xml version='1.0'?>\n<!-- none -->\n<?pi x?>\n") << "";
    QTest::newRow("options outside a config or with content")
        << inRoot("<option name='Loose'/><wrap><config category='Nested'><option name='Deep'/></config></wrap>"
                  "<config category='A'><x><option name='Inner'/></x>text<!-- c --><option name='B' default='1'>"
                  "text<option name='Inside'/><b><c/></b></option><Option name='Capital'/><option name='D'/>"
                  "</config><Config category='Capital'/>")
        << "A{B:0=int(1)/-; D:0=int(0)/-}";
    QTest::newRow("type names are case-sensitive")
        << inConfig("<option name='a' type='Double' default='1.5'/><option name='b' type='INT' default='5'/>"
                    "<option name='c' type='' default='6'/><option name='d' type='float'/>")
        << "C{a:0=int(0)/-; b:0=int(5)/-; c:0=int(6)/-; d:0=int(0)/-}";
    QTest::newRow("step sizes")
        << inConfig("<option name='e' stepsize=''/><option name='f' stepsize='0.5'/><option name='w' type='check' "
                    "stepsize='fine'/><option name='h' type='slider' stepsize='99999999999'/>")
        << "C{e:0=int(0)/-; f:0=int(0)/int(0); w:3=QString()/int(0); h:4=float(0)/int(0)}";
    QTest::newRow("int defaults at and beyond 32 bits")
        << inConfig("<option name='max' default='2147483647'/><option name='min' default='-2147483648'/>"
                    "<option name='over' default='2147483648'/><option name='under' default='-2147483649'/>")
        << "C{max:0=int(2147483647)/-; min:0=int(-2147483648)/-; over:0=int(0)/-; under:0=int(0)/-}";
    // Names reach the log as they are: braces are not format fields, nothing is transcoded.
    QTest::newRow("names logged exactly")
        << inRoot("<config category='{} {0} {:&gt;8} %s'><option name='Zürich {} µ-Optik 原子 😀 &amp;&lt;&quot;' "
                  "type='dropdown' default='{x}'/></config>")
        << QStringLiteral("{} {0} {:>8} %s{Zürich {} µ-Optik 原子 😀 &<\":2=QString({x})/-}");
    QTest::newRow("cut off inside the second category")
        << sample("cut-in-second-category.xml")
        << "Optics{Focus:1=double(2.5)/-; Zoom:0=int(3)/-} Trap{Depth:4=float(0.75)/-}";
    QTest::newRow("mismatched end tag")
        << inRoot("<config category='A'><option name='x'/></wrong><option name='y'/></config><config/>")
        << "A{x:0=int(0)/-}";
    QTest::newRow("broken inside an option")
        << inConfig("<option name='x'><a></b></option><option name='y'/>") << "C{x:0=int(0)/-}";
    QTest::newRow("undeclared entity") << inConfig("<option name='&bogus;'/>") << "C{}";

    // Skipping must not recurse: 100,000 nested foreign elements in each place where the reader skips.
    const QByteArray deep = QByteArray("<x>").repeated(100000) + QByteArray("</x>").repeated(100000);
    QTest::newRow("deep nesting") << inRoot(deep + "<config category='A'>" + deep + "<option name='o'>" + deep +
                                            "</option><option name='p'/></config>")
                                  << "A{o:0=int(0)/-; p:0=int(0)/-}";
    QTest::newRow("deep nesting never closed")
        << "<slmconfigs><config category='A'><option name='o'>" + deep.left(300000) << "A{o:0=int(0)/-}";
}

void TestModels::readerBuildsNodesAndLogsTheirNames()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, nodes);

    // On a small stack, so that a reader which recurses into nested elements overflows it.
    std::unique_ptr<Reading> reading;
    const std::unique_ptr<QThread> thread(QThread::create([&] { reading = std::make_unique<Reading>(document); }));
    thread->setStackSize(512 * 1024);
    thread->start();
    QVERIFY(thread->wait());
    QCOMPARE(reading->nodes, nodes);
    QCOMPARE(reading->log, reading->names);
}

void TestModels::readerSurvivesMalformedDocuments()
{
    // Cut at every byte: what is read is always a prefix of what the whole file gives.
    const QByteArray example = sample("example.xml");
    for (int length = 0; length <= example.size(); ++length) {
        const Reading reading(example.left(length));
        QCOMPARE(reading.log, reading.names);
        QCOMPARE(reading.log, exampleLog.mid(0, length < example.size() ? reading.log.size() : -1));
    }

    // Corrupted copies, half of them cut and filled up with random bytes: every node read is logged once.
    QRandomGenerator random(4711);
    for (int round = 0; round < 20000; ++round) {
        QByteArray document = example;
        if (round % 2) {
            document.truncate(random.bounded(int(example.size())));
            for (int n = random.bounded(512); n > 0; --n)
                document += char(random.bounded(256));
        }
        for (int hits = random.bounded(8); hits > 0 && !document.isEmpty(); --hits) {
            const int at = random.bounded(int(document.size()));
            if (const int kind = random.bounded(3); kind == 0)
                document[at] = char(random.bounded(256));
            else if (kind == 1)
                document.remove(at, random.bounded(1, 16));
            else
                document.insert(at, example.mid(random.bounded(int(example.size())), random.bounded(1, 32)));
        }
        const Reading reading(document);
        QCOMPARE(reading.log, reading.names);
    }
}

void TestModels::configurationTreeReadsTheFileButShowsNothing()
{
    QFile file(QFINDTESTDATA("data/example.xml"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    std::unique_ptr<ConfigurationTree> tree;
    QCOMPARE(logged([&](auto logger) { tree = std::make_unique<ConfigurationTree>(&xml, logger); }), exampleLog);

    QAbstractItemModelTester tester(tree.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    // Whatever it is asked about, even an index of another model, it answers with nothing.
    const PropTreeModel other;
    for (const QModelIndex &parent : {QModelIndex(), other.index(0, 0), other.index(1, 1, other.index(0, 0))}) {
        QCOMPARE(tree->rowCount(parent), 0);
        QCOMPARE(tree->columnCount(parent), 0);
        QCOMPARE(tree->flags(parent), Qt::NoItemFlags);
        QVERIFY(!tree->parent(parent).isValid());
        for (int role : {int(Qt::DisplayRole), int(Qt::EditRole), int(Qt::ToolTipRole), int(Qt::UserRole)}) {
            QVERIFY(!tree->data(parent, role).isValid());
            for (int section : {0, 1}) {
                QVERIFY(!tree->index(section, section, parent).isValid());
                QVERIFY(!tree->headerData(section, Qt::Horizontal, role).isValid());
                QVERIFY(!tree->headerData(section, Qt::Vertical, role).isValid());
            }
        }
    }
}

void TestModels::itemHoldsRowsAndOwnsItsTree()
{
    // Every item holds its own copy of `tracker`, so the use count tells how many items are alive.
    const auto tracker = std::make_shared<int>();
    auto item = [&tracker](int n, PropTreeItem *parent) {
        return std::make_unique<PropTreeItem>(QVariantList{n, QVariant::fromValue(tracker)}, parent);
    };
    auto root = item(0, nullptr);
    for (int i = 0; i < 2; ++i) {
        auto category = item(i, root.get());
        for (int s = 0; s < 3; ++s)
            category->appendChild(item(s, category.get()));
        root->appendChild(std::move(category));
    }
    QCOMPARE(tracker.use_count(), 1 + 1 + 2 + 2 * 3);
    QCOMPARE(root->childCount(), 2);
    QCOMPARE(root->child(1)->row(), 1);
    QCOMPARE(root->child(1)->parentItem(), root.get());
    QCOMPARE(root->child(0)->child(1)->row(), 1);
    QCOMPARE(root->child(1)->child(2)->row(), 2);
    QVERIFY(!root->child(-1) && !root->child(2) && !root->child(0)->child(0)->child(0));
    const PropTreeItem *setting = root->child(1)->child(2);
    QCOMPARE(setting->columnCount(), 2);
    QCOMPARE(setting->data(0), QVariant(2));
    QVERIFY(!setting->data(-1).isValid() && !setting->data(2).isValid());

    // Without a parent an item is row 0 wherever it was appended; one its parent does not hold has no row.
    root->appendChild(item(7, nullptr));
    QCOMPARE(root->child(2)->row(), 0);
    QCOMPARE(item(8, root.get())->row(), -1);

    root.reset();
    QCOMPARE(tracker.use_count(), 1);
}

void TestModels::propertyModelShape_data()
{
    QTest::addColumn<QList<int>>("path"); // rows from the top, each in column 0
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");

    // Beneath a parent the column count is its number of children (see PropTreeModel).
    QTest::newRow("top level") << QList<int>{} << 2 << 2;
    QTest::newRow("Camera") << QList<int>{0} << 4 << 4;
    QTest::newRow("Exposure") << QList<int>{0, 0} << 0 << 0;
    QTest::newRow("Experiment") << QList<int>{1} << 3 << 3;
    QTest::newRow("Rotation") << QList<int>{1, 2} << 0 << 0;
}

void TestModels::propertyModelShape()
{
    QFETCH(QList<int>, path);
    QFETCH(int, rows);
    QFETCH(int, columns);

    PropTreeModel model;
    QModelIndex parent;
    for (int row : path)
        parent = model.index(row, 0, parent);
    QCOMPARE(model.rowCount(parent), rows);
    QCOMPARE(model.columnCount(parent), columns);
    QCOMPARE(model.hasChildren(parent), rows > 0);
    for (const auto &[row, column] : {std::pair{rows, 0}, {0, columns}, {-1, 0}, {0, -1}})
        QVERIFY(!model.index(row, column, parent).isValid());
    for (int row = 0; row < rows; ++row) {
        const QModelIndex last = model.index(row, columns - 1, parent);
        QCOMPARE(last.parent(), parent);
        QCOMPARE(model.rowCount(last), 0); // only column 0 has children
        QCOMPARE(model.flags(last), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        if (columns > 2)
            QVERIFY(!last.data().isValid()); // columns past the two values are empty
    }
}

void TestModels::propertyModelIsReadOnlyDisplayText()
{
    PropTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    const QModelIndex exposure = model.index(0, 0, model.index(0, 0));
    for (int role : {int(Qt::EditRole), int(Qt::ToolTipRole), int(Qt::DecorationRole), int(Qt::UserRole)}) {
        QVERIFY(!exposure.data(role).isValid());
        QVERIFY(!model.headerData(0, Qt::Horizontal, role).isValid());
    }
    QVERIFY(!model.headerData(2, Qt::Horizontal).isValid() && !model.headerData(0, Qt::Vertical).isValid());
    QCOMPARE(model.flags(model.index(1, 0)), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    QCOMPARE(model.flags(QModelIndex()), Qt::NoItemFlags);
    QVERIFY(!model.setData(exposure.siblingAtColumn(1), QStringLiteral("900")));
    QCOMPARE(exposure.siblingAtColumn(1).data(), QVariant("800"));
}

void TestModels::panelShowsTheSettingsAtTheLeftBehindTheViewMenu()
{
    auto window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    ads::CDockWidget *dock = WorkspaceSupport::dockTitled(window.get(), QStringLiteral("Property Table"));
    auto *view = dock ? qobject_cast<QTreeView *>(dock->widget()) : nullptr;
    QVERIFY(view && qobject_cast<PropTreeModel *>(view->model()));
    QAbstractItemModel *model = view->model();

    QVERIFY(!view->isHeaderHidden());
    // Every row expanded, each value a text.
    QCOMPARE(shownTable(view), QStringList({
                                   "Property\tValue",
                                   "Camera\t-",
                                   "  Exposure\tQString(800)",
                                   "  Aperture\tQString(8.0)",
                                   "  Frames\tQString(30)",
                                   "  Save Directory\tQString(C:/)",
                                   "Experiment\t-",
                                   "  Number of Atoms\tQString(121)",
                                   "  Configuration\tQString(Square Array)",
                                   "  Rotation (deg)\tQString(45.0)",
                               }));
    // The last setting's value is laid out, so everything above it is too.
    const QModelIndex rotation = model->index(2, 1, model->index(1, 0));
    QCOMPARE(view->indexAt(view->visualRect(rotation).center()), rotation);
    ads::CDockAreaWidget *area = dock->dockAreaWidget();
    auto *centre = window->findChild<ads::CDockManager *>()->centralWidget()->dockAreaWidget();
    QVERIFY(area->mapTo(window.get(), QPoint(area->width(), 0)).x() < centre->mapTo(window.get(), QPoint()).x());

    // Double-click and F2 on a value start no editor.
    const QModelIndex value = model->index(0, 1, model->index(0, 0));
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(value).center());
    QCOMPARE(view->currentIndex(), value); // the clicks reached the cell
    QTest::keyClick(view, Qt::Key_F2);
    QVERIFY(!view->findChild<QLineEdit *>() && !view->indexWidget(value));

    const QList<QAction *> entries = window->findChild<QMenu *>("menuView")->actions();
    QCOMPARE(entries.size(), 1);
    QAction *toggle = entries.first();
    QCOMPARE(toggle->text(), QStringLiteral("Property Table"));
    QVERIFY(toggle->isChecked() && dock->isVisible());
    toggle->trigger();
    QVERIFY(!toggle->isChecked() && !dock->isVisible());
    toggle->trigger();
    QVERIFY(toggle->isChecked() && dock->isVisible());

    // The current and a selected cell keep persistent indexes into the model while it goes first.
    view->selectionModel()->select(rotation, QItemSelectionModel::Select);
    QStringList destroyed;
    connect(model, &QObject::destroyed, this, [&destroyed] { destroyed << "model"; });
    connect(view, &QObject::destroyed, this, [&destroyed] { destroyed << "view"; });
    window.reset();
    QCOMPARE(destroyed, QStringList({"model", "view"}));
}

QTEST_MAIN(TestModels)
#include "tst_models.moc"
