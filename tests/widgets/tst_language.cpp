#include "support/DataTable.h"
#include "widgets/Language.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QVBoxLayout>

#include <memory>

using widgets::TLanguage;
using Getter = std::function<QString(QWidget*)>;
Q_DECLARE_METATYPE(Getter)

namespace {

const char* const kLanguageFile = "[Translations]\n"
                                  "MainForm.File1.Caption=&Αρχείο\n"
                                  "MainForm.PatientsMenu.Caption=Καρτέλα Ασθενούς\n"
                                  "MainForm.SearchBtn.BtnCaption=Εύρεση\n"
                                  "MainForm.SearchBtn.Hint=Αναζήτηση\n"
                                  "MainForm.OKBtn.Hint=Σύντομο|Μακρύ\n"
                                  "MainForm.DentalChartForm.Caption=Οδοντόγραμμα\n"
                                  "MainForm.DentalChartForm.TabControl.Tabs= Αρχική , Σχέδιο ,Εκτέλεση,\n"
                                  "MainForm.DentalChartForm.Page1.Caption=Σχέδιο θεραπείας\n"
                                  "MainForm.DentalChartForm.rgTeeth.Items=Μόνιμα , Νεογιλά\n"
                                  "MainForm.ComboBox1.Items=α,,γ\n"
                                  "MainForm.Memo1.Lines=πρώτη, δεύτερη\n"
                                  "MainForm.SpinEdit1.Value=12\n"
                                  "MainForm.SpinEdit2.Value=twelve\n"
                                  "MainForm.Edit1.PlaceholderText=Όνομα\n"
                                  "MainForm.Label1.FieldAlias=Επώνυμο\n"
                                  "MainForm.Nothing.Caption=Τίποτα\n"
                                  "Nowhere.Label1.Caption=Τίποτα\n"
                                  "MainForm.Label1.NoSuchProperty=Τίποτα\n"
                                  "MainForm.Label1.Caption=\n"
                                  "[Messages]\n"
                                  "Delete this record?=Διαγραφή αυτής της εγγραφής;\n"
                                  "Empty DataBase=\n";

// The main window of a small program shaped like ours.
std::unique_ptr<QMainWindow> makeMainForm()
{
    auto form = std::make_unique<QMainWindow>();
    form->setObjectName(QStringLiteral("MainForm"));
    QMenu* file = form->menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    file->addAction(QStringLiteral("Patient File"))->setObjectName(QStringLiteral("PatientsMenu"));
    QAction* search = form->addToolBar(QStringLiteral("MainBar"))->addAction(QStringLiteral("Find"));
    search->setObjectName(QStringLiteral("SearchBtn"));
    search->setToolTip(QStringLiteral("Search"));

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    const auto add = [layout](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        layout->addWidget(w);
        return w;
    };
    add(new QPushButton(QStringLiteral("OK")), "OKBtn");
    add(new QLabel(QStringLiteral("Last name")), "Label1");
    auto* combo = static_cast<QComboBox*>(add(new QComboBox, "ComboBox1"));
    combo->addItems({ QStringLiteral("one"), QStringLiteral("two") });
    combo->setCurrentIndex(1);
    add(new QPlainTextEdit(QStringLiteral("designed")), "Memo1");
    add(new QSpinBox, "SpinEdit1");
    add(new QSpinBox, "SpinEdit2");
    add(new QLineEdit, "Edit1");

    auto* chart = add(new QWidget, "DentalChartForm");
    chart->setWindowTitle(QStringLiteral("Dental Chart"));
    auto* chartLayout = new QVBoxLayout(chart);
    auto* tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("TabControl"));
    for (const char* page : { "Page0", "Page1", "Page2" }) {
        auto* w = new QWidget;
        w->setObjectName(QString::fromLatin1(page));
        tabs->addTab(w, QString::fromLatin1(page));
    }
    chartLayout->addWidget(tabs);
    auto* teeth = new QGroupBox(QStringLiteral("Teeth"));
    teeth->setObjectName(QStringLiteral("RGTEETH"));
    auto* teethLayout = new QVBoxLayout(teeth);
    teethLayout->addWidget(new QRadioButton(QStringLiteral("Permanent")));
    teethLayout->addWidget(new QRadioButton(QStringLiteral("Primary")));
    chartLayout->addWidget(teeth);
    form->setCentralWidget(central);
    return form;
}

template<typename T> T* find(QWidget* form, const char* name)
{
    return form->findChild<T*>(QString::fromLatin1(name));
}

// Every text a user could see on the form, to prove that a pass changed nothing.
QStringList visibleTexts(QWidget* form)
{
    QStringList texts { form->windowTitle() };
    for (QAction* a : form->findChildren<QAction*>())
        texts << a->text() << a->iconText() << a->toolTip();
    for (QWidget* w : form->findChildren<QWidget*>()) {
        texts << w->windowTitle() << w->toolTip();
        for (const char* p : { "text", "title", "plainText", "placeholderText", "currentText" })
            texts << w->property(p).toString();
    }
    return texts;
}

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT

    QTemporaryDir m_programDir;
    std::unique_ptr<QMainWindow> m_form;

    TLanguage* lang(const QStringList& paths)
    {
        auto* l = new TLanguage(m_form.get(), paths);
        return l;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QFile file(m_programDir.filePath(QStringLiteral("orvane.LNG"))); // found whatever its case
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kLanguageFile);
        file.close();
        qputenv("ORVANE_PROGRAM_DIR", m_programDir.path().toLocal8Bit());
    }

    void init() { m_form = makeMainForm(); }
    void cleanup() { m_form.reset(); }

    void translatesProperties_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<Getter>("get");
        QTest::addColumn<QString>("expected");

        QTest::newRow("menu title") << "MainForm.File1.Caption"
                                    << Getter([](QWidget* f) { return find<QMenu>(f, "File1")->title(); })
                                    << "&Αρχείο";
        QTest::newRow("path in other letter case")
            << "mainform.PATIENTSMENU.caption" << Getter([](QWidget* f) {
                   return f->findChild<QAction*>(QStringLiteral("PatientsMenu"))->text();
               })
            << "Καρτέλα Ασθενούς";
        QTest::newRow("tool bar button caption") << "MainForm.SearchBtn.BtnCaption" << Getter([](QWidget* f) {
            return f->findChild<QAction*>(QStringLiteral("SearchBtn"))->iconText();
        }) << "Εύρεση";
        QTest::newRow("hint") << "MainForm.SearchBtn.Hint" << Getter([](QWidget* f) {
            return f->findChild<QAction*>(QStringLiteral("SearchBtn"))->toolTip();
        }) << "Αναζήτηση";
        QTest::newRow("hint short and long") << "MainForm.OKBtn.Hint" << Getter([](QWidget* f) {
            auto* b = find<QPushButton>(f, "OKBtn");
            return b->toolTip() + u'/' + b->statusTip();
        }) << "Σύντομο/Μακρύ";
        QTest::newRow("child window title") << "MainForm.DentalChartForm.Caption" << Getter([](QWidget* f) {
            return find<QWidget>(f, "DentalChartForm")->windowTitle();
        }) << "Οδοντόγραμμα";
        QTest::newRow("tabs trimmed, trailing separator dropped")
            << "MainForm.DentalChartForm.TabControl.Tabs" << Getter([](QWidget* f) {
                   auto* t = find<QTabWidget>(f, "TabControl");
                   return QStringList { t->tabText(0), t->tabText(1), t->tabText(2) }.join(u'|') + u'|'
                       + QString::number(t->count());
               })
            << "Αρχική|Σχέδιο|Εκτέλεση|3";
        QTest::newRow("tab page caption")
            << "MainForm.DentalChartForm.Page1.Caption"
            << Getter([](QWidget* f) { return find<QTabWidget>(f, "TabControl")->tabText(1); })
            << "Σχέδιο θεραπείας";
        QTest::newRow("radio group items")
            << "MainForm.DentalChartForm.rgTeeth.Items" << Getter([](QWidget* f) {
                   QStringList texts;
                   for (auto* b : find<QGroupBox>(f, "RGTEETH")->findChildren<QRadioButton*>())
                       texts << b->text();
                   return texts.join(u'|');
               })
            << "Μόνιμα|Νεογιλά";
        QTest::newRow("combo items, empty middle item kept")
            << "MainForm.ComboBox1.Items" << Getter([](QWidget* f) {
                   auto* c = find<QComboBox>(f, "ComboBox1");
                   QStringList texts;
                   for (int i = 0; i < c->count(); ++i)
                       texts << c->itemText(i);
                   return texts.join(u'|') + u'@' + QString::number(c->currentIndex());
               })
            << "α||γ@1";
        QTest::newRow("memo lines") << "MainForm.Memo1.Lines" << Getter([](QWidget* f) {
            return find<QPlainTextEdit>(f, "Memo1")->toPlainText();
        }) << "πρώτη\nδεύτερη";
        QTest::newRow("integer property") << "MainForm.SpinEdit1.Value" << Getter([](QWidget* f) {
            return QString::number(find<QSpinBox>(f, "SpinEdit1")->value());
        }) << "12";
        QTest::newRow("any Qt string property")
            << "MainForm.Edit1.PlaceholderText"
            << Getter([](QWidget* f) { return find<QLineEdit>(f, "Edit1")->placeholderText(); }) << "Όνομα";
    }

    void translatesProperties()
    {
        QFETCH(QString, path);
        QFETCH(Getter, get);
        QFETCH(QString, expected);
        lang({ path })->Translate();
        QCOMPARE(get(m_form.get()), expected);
    }

    void unresolvedPathsChangeNothing_data()
    {
        testsupport::addRows<QString>({ "path" },
            {
                { "missing last component", "MainForm.Nothing.Caption" },
                { "missing window", "Nowhere.Label1.Caption" },
                { "unknown property", "MainForm.Label1.NoSuchProperty" },
                { "empty value", "MainForm.Label1.Caption" },
                { "no key", "MainForm.OKBtn.Caption" },
                { "blank line", "   " },
            });
    }

    void unresolvedPathsChangeNothing()
    {
        QFETCH(QString, path);
        const QStringList before = visibleTexts(m_form.get());
        lang({ path })->Translate();
        QCOMPARE(visibleTexts(m_form.get()), before);
    }

    void withoutLanguageFileEverythingStaysEnglish()
    {
        TLanguage* l
            = lang({ QStringLiteral("MainForm.File1.Caption"), QStringLiteral("MainForm.ComboBox1.Items") });
        l->setLanguageFile(QStringLiteral("Absent.lng"));
        const QStringList before = visibleTexts(m_form.get());
        l->Translate();
        QCOMPARE(visibleTexts(m_form.get()), before);
        QCOMPARE(l->Message(QStringLiteral("Delete this record?")), QStringLiteral("Delete this record?"));
    }

    void messages_data()
    {
        testsupport::addRows<QString, QString>({ "text", "expected" },
            {
                { "translated", "Delete this record?", "Διαγραφή αυτής της εγγραφής;" },
                { "absent", "Are you sure?", "Are you sure?" },
                { "empty translation", "Empty DataBase", "Empty DataBase" },
            });
    }

    void messages()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(lang({})->Message(text), expected);
    }

    void hooksSeeAndMayChangeEachValue()
    {
        TLanguage* l = lang(
            { QStringLiteral("MainForm.DentalChartForm.Caption"), QStringLiteral("MainForm.File1.Caption") });
        QSignalSpy before(l, &TLanguage::beforeTranslation);
        QSignalSpy after(l, &TLanguage::afterTranslation);
        QStringList seen;
        l->onTranslate = [&seen](QObject* component, const QString& property, const QString& oldValue,
                             QString& newValue) {
            seen << component->objectName() + u'.' + property + u'=' + oldValue;
            if (property == u"Caption" && component->objectName() == u"DentalChartForm")
                newValue += QStringLiteral(" *");
        };
        l->Translate();
        QCOMPARE(before.count(), 1);
        QCOMPARE(after.count(), 1);
        QCOMPARE(seen,
            QStringList({ QStringLiteral("DentalChartForm.Caption=Dental Chart"),
                QStringLiteral("File1.Caption=&File") }));
        QCOMPARE(
            find<QWidget>(m_form.get(), "DentalChartForm")->windowTitle(), QStringLiteral("Οδοντόγραμμα *"));
    }

    void nonIntegerValueForIntegerPropertyIsAnError()
    {
        QVERIFY_THROWS_EXCEPTION(
            std::invalid_argument, lang({ QStringLiteral("MainForm.SpinEdit2.Value") })->Translate());
    }

    void laterUnitsRegisterTheirProperties()
    {
        // A window of a later unit teaches the component a property of its own.
        TLanguage::registerProperty(
            QStringLiteral("FieldAlias"), [](QObject* o) -> std::optional<widgets::TranslatedProperty> {
                if (!qobject_cast<QLabel*>(o))
                    return std::nullopt;
                return widgets::TranslatedProperty { widgets::TranslatedProperty::Kind::Text,
                    [](const QObject* p) { return p->property("alias").toString(); },
                    [](QObject* p, const QVariant& v) { p->setProperty("alias", v); } };
            });
        lang({ QStringLiteral("MainForm.Label1.FieldAlias") })->Translate();
        QCOMPARE(
            find<QLabel>(m_form.get(), "Label1")->property("alias").toString(), QStringLiteral("Επώνυμο"));
        QVERIFY(
            !TLanguage::findProperty(find<QPushButton>(m_form.get(), "OKBtn"), QStringLiteral("FieldAlias")));
    }

    void windowNotYetInItsFrameIsFoundThroughItsComponent()
    {
        // A child window translates itself while being built, before the frame adopts it.
        QWidget chart;
        chart.setObjectName(QStringLiteral("DentalChartForm"));
        auto* caption = new QLabel(QStringLiteral("Dental Chart"), &chart);
        caption->setObjectName(QStringLiteral("Page1"));
        find<QWidget>(m_form.get(), "DentalChartForm")->setObjectName(QStringLiteral("Elsewhere"));
        (new TLanguage(&chart, { QStringLiteral("MainForm.DentalChartForm.Caption") }))->Translate();
        QCOMPARE(chart.windowTitle(), QStringLiteral("Οδοντόγραμμα"));
    }

    void splitsLists_data()
    {
        testsupport::addRows<QString, QString, QStringList>({ "value", "separator", "expected" },
            {
                { "trimmed, trailing dropped", "a , b,", ",", QStringList { "a", "b" } },
                { "adjacent separators", "a,,b", ",", QStringList { "a", "", "b" } },
                { "leading separator", ",a", ",", QStringList { "", "a" } },
                { "blank last piece", "a, ", ",", QStringList { "a" } },
                { "longer separator", "a;; b", ";;", QStringList { "a", "b" } },
                { "single", " a ", ",", QStringList { "a" } },
            });
    }

    void splitsLists()
    {
        QFETCH(QString, value);
        QFETCH(QString, separator);
        QFETCH(QStringList, expected);
        QCOMPARE(TLanguage::splitList(value, separator), expected);
    }

    // The language file that ships beside the program: well-formed and Greek.
    void shippedLanguageFile()
    {
        const QString path
            = QDir::cleanPath(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../resources/Orvane.lng"));
        QFile raw(path);
        QVERIFY2(raw.open(QIODevice::ReadOnly), qPrintable(path));
        const platform::IniFile file(path);
        const QString translations = QString::fromLatin1(TLanguage::kTranslations);
        const QStringList keys = file.keys(translations);
        QVERIFY(keys.size() > 50);
        // Columns: the column captions of a data grid.
        const QStringList known { "Caption", "Hint", "BtnCaption", "Items", "Tabs", "Lines", "DisplayLabel",
            "FieldAlias", "UnitColumnCaption", "Values", "Columns" };
        for (const QString& key : keys) {
            const QStringList parts = key.split(u'.');
            QVERIFY2(parts.size() >= 2 && known.contains(parts.back()), qPrintable(key));
        }
        const QRegularExpression greek(QStringLiteral("[\\x{0370}-\\x{03FF}]"));
        for (const char* message : { "Are you sure?", "Delete this record?", "Empty DataBase",
                 "You forgot last name!", "There are unsaved changes. Do you want to post them?" })
            QVERIFY2(file.readString(QString::fromLatin1(TLanguage::kMessages), QString::fromLatin1(message))
                         .contains(greek),
                message);

        qputenv("ORVANE_PROGRAM_DIR", QFileInfo(path).absolutePath().toLocal8Bit());
        TLanguage* l = lang(
            { QStringLiteral("MainForm.File1.Caption"), QStringLiteral("MainForm.SearchBtn.BtnCaption") });
        l->Translate();
        qputenv("ORVANE_PROGRAM_DIR", m_programDir.path().toLocal8Bit());
        QCOMPARE(find<QMenu>(m_form.get(), "File1")->title(), QStringLiteral("&Αρχείο"));
        QCOMPARE(
            m_form->findChild<QAction*>(QStringLiteral("SearchBtn"))->iconText(), QStringLiteral("Εύρεση"));
        QCOMPARE(l->Message(QStringLiteral("Are you sure?")), QStringLiteral("Είστε σίγουρος;"));
    }
};

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
