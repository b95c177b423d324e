// The tables as the program describes them: the file's statements are the
// ones every existing data file was made with, and the server's column types
// are found through the names the file declares.
#include "db/schema.h"
#include "support/fixturedb.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QTest>

using namespace cvd;
using namespace Qt::StringLiterals;

class TestSchema : public QObject {
    Q_OBJECT

private slots:
    // The statements that made every data file so far (the tables and
    // their NOCASE texts, the indexes), by their SHA-256: a file made by a
    // changed text would sort and compare otherwise than the files in use.
    void fileStatementsUnchanged()
    {
        const QString all = schema::createStatements().join(u'\n');
        QVERIFY2(QCryptographicHash::hash(all.toUtf8(), QCryptographicHash::Sha256).toHex()
                     == "5a4382e48deaf61859499fdeee22ada5b5ffddc30bcfea7e1e7034752dfcf8ca",
                 qPrintable(all));
    }

    // A new file's tables and Settings row, as SQLite keeps them: the
    // declared type of each column is what declaredType gives for it.
    void newFile()
    {
        QTemporaryDir dir;
        const QString path = test::createEmptyDb(dir.path(), test::Engine::File);
        const QStringList columns = test::sqlRows(path, u"SELECT m.name, p.name, p.type FROM sqlite_master m, pragma_table_info(m.name) p"
                                                        " WHERE m.type = 'table' AND m.name <> 'sqlite_sequence'"_s);
        int programColumns = 0;
        for (const QString& table : schema::tableNames())
            programColumns += int(schema::columnNames(table).size());
        QCOMPARE(columns.size(), programColumns);
        for (const QString& c : columns) {
            const QStringList f = c.split(u'|');
            QCOMPARE(schema::declaredType(f[0].mid(2).toLower(), f[1].mid(2).toUpper()), f[2].mid(2));
        }
        QCOMPARE(test::sqlRows(path, u"SELECT * FROM Settings"_s),
                 QStringList{u"1:400000|1:250000|3:|3:|3:Times New Roman|1:180000|1:1|1:0|1:0|3:Times New Roman|1:100000|1:0|1:0|1:0"_s});
    }

    void declaredTypes_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column"); // empty: the table's key
        QTest::addColumn<QString>("type");
        QTest::newRow("key") << u"staff"_s << u"staffid"_s << u"INTEGER"_s;
        QTest::newRow("Req's key") << u"Req"_s << QString() << u"INTEGER"_s;
        QTest::newRow("key, any case") << u"cUSTOMERS"_s << QString() << u"INTEGER"_s;
        QTest::newRow("Settings key on a server") << u"settings"_s << QString() << u"INTEGER"_s;
        QTest::newRow("text") << u"Dept"_s << u"deptname"_s << u"VARCHAR(80)"_s;
        QTest::newRow("unknown column") << u"Req"_s << u"Nonsense"_s << QString();
        QTest::newRow("unknown table") << u"Nonsense"_s << u"ReqID"_s << QString();
        QTest::newRow("not the program's") << u"sqlite_sequence"_s << QString() << QString();
        QTest::newRow("column of another table") << u"Req"_s << u"DeptName"_s << QString();
    }
    void declaredTypes()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, type);
        if (column.isEmpty())
            column = schema::keyColumn(table);
        QCOMPARE(schema::declaredType(table, column), type);
    }

    // The file has no Settings key: a file without one is complete.
    void settingsKeyOnTheServerOnly()
    {
        QVERIFY(!schema::columnNames(u"Settings"_s).contains(u"SettingsID"_s));
        QHash<QString, QStringList> tables;
        for (const QString& t : schema::tableNames())
            tables.insert(t.toCaseFolded(), schema::columnNames(t));
        QCOMPARE(schema::missingParts(tables), QStringList());
    }
};

CVD_TEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
