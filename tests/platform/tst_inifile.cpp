#include "platform/Directories.h"
#include "platform/IniFile.h"
#include "support/DataTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using platform::IniFile;

constexpr QFileDevice::Permissions kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup
    | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;

class TestIniFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString writeBytes(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    static QByteArray readBytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private Q_SLOTS:
    void typedReads_data()
    {
        testsupport::addRows<QByteArray, QString, QVariant, QVariant>(
            { "line", "kind", "defaultValue", "expected" },
            {
                { "string trimmed", QByteArray("Key =  some text  "), "string", QVariant(QString("d")),
                    QVariant(QString("some text")) },
                { "string quoted keeps blanks", QByteArray("Key=\" x \""), "string", QVariant(QString()),
                    QVariant(QString(" x ")) },
                { "string empty value is not the default", QByteArray("Key="), "string",
                    QVariant(QString("d")), QVariant(QString()) },
                { "string absent", QByteArray("Other=1"), "string", QVariant(QString("d")),
                    QVariant(QString("d")) },
                { "key in other case", QByteArray("kEY=v"), "string", QVariant(QString()),
                    QVariant(QString("v")) },
                { "value holds equals sign", QByteArray("Key=a=b"), "string", QVariant(QString()),
                    QVariant(QString("a=b")) },
                { "int decimal", QByteArray("Key=-42"), "int", QVariant(7), QVariant(-42) },
                { "int dollar hex", QByteArray("Key=$808080"), "int", QVariant(7), QVariant(0x808080) },
                { "int 0x hex", QByteArray("Key=0xFF"), "int", QVariant(7), QVariant(255) },
                { "int garbage", QByteArray("Key=12abc"), "int", QVariant(7), QVariant(7) },
                { "int too large", QByteArray("Key=99999999999"), "int", QVariant(7), QVariant(7) },
                { "float point", QByteArray("Key=340.75"), "float", QVariant(1.0), QVariant(340.75) },
                { "float comma", QByteArray("Key=340,75"), "float", QVariant(1.0), QVariant(340.75) },
                { "float garbage", QByteArray("Key=abc"), "float", QVariant(1.5), QVariant(1.5) },
                { "bool one", QByteArray("Key=1"), "bool", QVariant(false), QVariant(true) },
                { "bool zero", QByteArray("Key=0"), "bool", QVariant(true), QVariant(false) },
                { "bool other integer", QByteArray("Key=-1"), "bool", QVariant(false), QVariant(true) },
                { "bool word", QByteArray("Key=False"), "bool", QVariant(true), QVariant(false) },
                { "bool garbage", QByteArray("Key=maybe"), "bool", QVariant(true), QVariant(true) },
                { "bool absent", QByteArray(""), "bool", QVariant(true), QVariant(true) },
            });
    }

    void typedReads()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, kind);
        QFETCH(QVariant, defaultValue);
        QFETCH(QVariant, expected);
        const IniFile ini(writeBytes(
            QStringLiteral("typed.ini"), "; comment\n[Section]\n" + line + "\n[Next]\nKey=wrong\n"));
        const QString s = QStringLiteral("section"); // sections compare without case too
        const QString k = QStringLiteral("Key");
        if (kind == u"string")
            QCOMPARE(ini.readString(s, k, defaultValue.toString()), expected.toString());
        else if (kind == u"int")
            QCOMPARE(ini.readInteger(s, k, defaultValue.toInt()), expected.toInt());
        else if (kind == u"float")
            QCOMPARE(ini.readFloat(s, k, defaultValue.toDouble()), expected.toDouble());
        else
            QCOMPARE(ini.readBool(s, k, defaultValue.toBool()), expected.toBool());
    }

    void writingKeepsEverythingElse()
    {
        const QByteArray original = "; workstation settings\r\n"
                                    "[Orvane]\r\n"
                                    "MultiUserType=2\r\n"
                                    "; keep me\r\n"
                                    "DelApps=0\r\n"
                                    "\r\n"
                                    "[EURO]\r\n"
                                    "Currency=340.75\r\n";
        const QString path = writeBytes(QStringLiteral("PV.INI"), original);
        QFile::setPermissions(
            path, QFileInfo(path).permissions() | QFileDevice::ReadOther | QFileDevice::ReadGroup);
        IniFile ini(path);
        ini.writeString(
            QStringLiteral("orvane"), QStringLiteral("DELAPPS"), QStringLiteral("1")); // existing key
        ini.writeInteger(QStringLiteral("Orvane"), QStringLiteral("RxSpinEdit2_Value"), 15); // new key
        ini.writeString(
            QStringLiteral("Advanced"), QStringLiteral("ProgNotesOn"), QStringLiteral("y")); // new section
        ini.save();

        const QByteArray expected = "; workstation settings\r\n"
                                    "[Orvane]\r\n"
                                    "MultiUserType=2\r\n"
                                    "; keep me\r\n"
                                    "DelApps=1\r\n"
                                    "RxSpinEdit2_Value=15\r\n"
                                    "\r\n"
                                    "[EURO]\r\n"
                                    "Currency=340.75\r\n"
                                    "\r\n"
                                    "[Advanced]\r\n"
                                    "ProgNotesOn=y\r\n";
        QCOMPARE(readBytes(path), expected);

        // The workstation's passwords: nobody else reads them, whatever the umask said.
        QCOMPARE(QFileInfo(path).permissions() & kOthers, QFileDevice::Permissions());

        const IniFile again(path);
        QCOMPARE(again.readInteger(QStringLiteral("Orvane"), QStringLiteral("MultiUserType"), 0), 2);
        QCOMPARE(again.keys(QStringLiteral("Orvane")),
            QStringList({ QStringLiteral("MultiUserType"), QStringLiteral("DelApps"),
                QStringLiteral("RxSpinEdit2_Value") }));
    }

    void valuesRoundTrip()
    {
        const QString path = m_dir.filePath(QStringLiteral("round.ini"));
        QFile::remove(path);
        IniFile ini(path); // a missing file is an empty one
        QVERIFY(ini.sections().isEmpty());
        ini.writeFloat(QStringLiteral("S"), QStringLiteral("F"), 0.1);
        ini.writeBool(QStringLiteral("S"), QStringLiteral("B"), false);
        ini.writeString(QStringLiteral("S"), QStringLiteral("Blanks"), QStringLiteral("  padded "));
        ini.writeString(QStringLiteral("S"), QStringLiteral("Greek"), QStringLiteral("Οδοντίατρος"));
        ini.writeString(QStringLiteral("S"), QStringLiteral("Lines"), QStringLiteral("one\ntwo"));
        ini.save();

        const IniFile back(path);
        QCOMPARE(back.readFloat(QStringLiteral("S"), QStringLiteral("F"), 0), 0.1);
        QCOMPARE(back.readBool(QStringLiteral("S"), QStringLiteral("B"), true), false);
        QCOMPARE(back.readString(QStringLiteral("S"), QStringLiteral("Blanks")), QStringLiteral("  padded "));
        QCOMPARE(
            back.readString(QStringLiteral("S"), QStringLiteral("Greek")), QStringLiteral("Οδοντίατρος"));
        QCOMPARE(back.readString(QStringLiteral("S"), QStringLiteral("Lines")), QStringLiteral("one two"));
        QVERIFY(readBytes(path).contains("Greek=Οδοντίατρος")); // written as UTF-8
    }

    void removeKeyAndSection()
    {
        const QString path = writeBytes(QStringLiteral("rm.ini"), "[A]\nx=1\ny=2\n[B]\nz=3\n[C]\nw=4\n");
        IniFile ini(path);
        ini.removeKey(QStringLiteral("a"), QStringLiteral("X"));
        ini.removeSection(QStringLiteral("b"));
        ini.save();
        QCOMPARE(readBytes(path), QByteArray("[A]\ny=2\n[C]\nw=4\n"));
    }

    void decodesLegacyGreekAndUtf8_data()
    {
        testsupport::addRows<QByteArray>({ "bytes" },
            {
                // "Αθήνα" in Windows-1253, in UTF-8, and in UTF-8 behind a byte-order mark.
                { "windows-1253", QByteArray("[Orvane]\r\nCity=\xC1\xE8\xDE\xED\xE1\r\n") },
                { "utf-8", QByteArray("[Orvane]\nCity=\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1\n") },
                { "utf-8 bom",
                    QByteArray("\xEF\xBB\xBF[Orvane]\nCity=\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1\n") },
            });
    }

    void decodesLegacyGreekAndUtf8()
    {
        QFETCH(QByteArray, bytes);
        const IniFile ini(writeBytes(QStringLiteral("greek.ini"), bytes));
        QCOMPARE(ini.readString(QStringLiteral("Orvane"), QStringLiteral("City")), QStringLiteral("Αθήνα"));
    }

    void legacyFileIsRewrittenAsUtf8WithoutLoss()
    {
        const QString path
            = writeBytes(QStringLiteral("legacy.ini"), "[Roles]\r\n\xC3\xE9\xDC\xED\xE7\xF2Role=0\r\n");
        IniFile ini(path);
        ini.writeInteger(QStringLiteral("Roles"), QStringLiteral("NikosRole"), 1);
        ini.save();
        const IniFile back(path);
        QCOMPARE(back.readInteger(QStringLiteral("Roles"), QStringLiteral("ΓιάνηςRole"), -1), 0);
        QCOMPARE(back.readInteger(QStringLiteral("Roles"), QStringLiteral("NikosRole"), -1), 1);
    }

    void encodingIsDecidedPerLine()
    {
        // UTF-8 names around one line of the old code page and one stray byte.
        const QString path = writeBytes(QStringLiteral("mixed.ini"),
            "[Roles]\n\xCE\x91\xCE\xBD\xCE\xBD\xCE\xB1Role=0\nCity=\xC1\xE8\xDE\xED\xE1\n; \xFF\n"
            "\xCE\x9D\xCE\xAF\xCE\xBA\xCE\xBF\xCF\x82Role=1\n");
        const IniFile ini(path);
        QCOMPARE(ini.readInteger(QStringLiteral("Roles"), QStringLiteral("ΑνναRole"), -1), 0);
        QCOMPARE(ini.readString(QStringLiteral("Roles"), QStringLiteral("City")), QStringLiteral("Αθήνα"));
        QCOMPARE(ini.readInteger(QStringLiteral("Roles"), QStringLiteral("ΝίκοςRole"), -1), 1);
    }

    void rewrittenOnlyWhenAValueChanges()
    {
        const QByteArray original = "[Orvane]\r\nDelApps=1\r\n; \xFF stray\r\nName=\xCE\x91\r\n";
        const QString path = writeBytes(QStringLiteral("unchanged.ini"), original);
        const QFileInfo before(path);
        IniFile ini(path);
        ini.writeBool(QStringLiteral("orvane"), QStringLiteral("delapps"), true); // the value it has
        ini.writeString(QStringLiteral("Orvane"), QStringLiteral("Name"), QStringLiteral("Α"));
        QVERIFY(!ini.isChanged());
        ini.save();
        QCOMPARE(readBytes(path), original);
        QCOMPARE(QFileInfo(path).lastModified(), before.lastModified());

        ini.writeBool(QStringLiteral("Orvane"), QStringLiteral("DelApps"), false);
        ini.save();
        const QByteArray written = readBytes(path);
        QStringDecoder utf8(QStringConverter::Utf8);
        const QString text = utf8.decode(written);
        QVERIFY(!utf8.hasError()); // the whole file is UTF-8 now, the stray line too
        QStringDecoder greek("windows-1253");
        const QString stray = greek.decode(QByteArray("\xFF"));
        QCOMPARE(text, QStringLiteral("[Orvane]\r\nDelApps=0\r\n; ") + stray + QStringLiteral(" stray\r\nName=Α\r\n"));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("unchanged")),
            QStringList { QStringLiteral("unchanged.ini") }); // no temporary file left behind
    }

    void duplicatedSectionsMergeAndTheLastValueWins_data()
    {
        // expected: of [S] K
        testsupport::addRows<QByteArray, QString, QStringList>({ "bytes", "expected", "keys" },
            {
                { "empty copy first", QByteArray("[S]\n[S]\nK=2\n"), "2", QStringList { "K" } },
                { "empty copy last", QByteArray("[S]\nK=2\n[S]\n"), "2", QStringList { "K" } },
                { "second copy wins", QByteArray("[S]\nK=1\nA=a\n[T]\nK=9\n[s]\nK=2\nB=b\n"), "2",
                    QStringList { "K", "A", "B" } },
                { "empty value wins too", QByteArray("[S]\nK=1\n[S]\nK=\n"), "", QStringList { "K" } },
                { "key twice in one section", QByteArray("[S]\nK=1\nk=2\n"), "2", QStringList { "K" } },
                { "comment is no key", QByteArray("[S]\nK=1\n;K=2\n"), "1", QStringList { "K" } },
            });
    }
    void duplicatedSectionsMergeAndTheLastValueWins()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QFETCH(QStringList, keys);
        const QString path = writeBytes(QStringLiteral("dup.ini"), bytes);
        IniFile ini(path);
        QCOMPARE(ini.readString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("absent")), expected);
        QCOMPARE(ini.keys(QStringLiteral("S")), keys);
        QCOMPARE(ini.entries(QStringLiteral("S")).constFirst().second, expected);
        // A write changes the value that is read, and nothing else.
        ini.writeString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("new"));
        ini.save();
        const IniFile back(path);
        QCOMPARE(back.readString(QStringLiteral("S"), QStringLiteral("K")), QStringLiteral("new"));
        QCOMPARE(back.keys(QStringLiteral("S")), keys);
        QCOMPARE(readBytes(path).size(), bytes.size() + 3 - expected.size());
    }

    void fileNamesCompareWithoutCase()
    {
        QTemporaryDir dir;
        QFile(dir.filePath(QStringLiteral("pv.ini"))).open(QIODevice::WriteOnly);
        QCOMPARE(platform::findFileNoCase(dir.path(), QStringLiteral("PV.INI")),
            dir.filePath(QStringLiteral("pv.ini")));
        QCOMPARE(platform::findFileNoCase(dir.path(), QStringLiteral("Absent.INI")),
            dir.filePath(QStringLiteral("Absent.INI")));
    }

    void unreadableFileIsAnError()
    {
        // A directory where a file is expected cannot be read as one.
        QVERIFY_THROWS_EXCEPTION(platform::SettingsError, IniFile { m_dir.path() });
    }

    void configDirectoryOrder()
    {
        qputenv("ORVANE_CONFIG_DIR", "/tmp/orvane-env");
        QCOMPARE(platform::configDir(), QStringLiteral("/tmp/orvane-env"));
        platform::setConfigDirOverride(QStringLiteral("/tmp/orvane-cli"));
        QCOMPARE(platform::configDir(), QStringLiteral("/tmp/orvane-cli"));
        platform::setConfigDirOverride({});
        qunsetenv("ORVANE_CONFIG_DIR");
        qputenv("XDG_CONFIG_HOME", "/tmp/xdg");
        QCOMPARE(platform::configDir(), QStringLiteral("/tmp/xdg/orvane"));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
