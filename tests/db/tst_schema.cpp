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

    // The keys in any case, a text's length; nothing for what is not the program's.
    void declaredTypes()
    {
        QStringList got;
        for (const auto& [table, column] : {std::pair{"staff", "staffid"}, {"Req", ""}, {"cUSTOMERS", ""}, {"settings", ""},
                                            {"Dept", "deptname"}, {"Req", "Nonsense"}, {"Nonsense", "ReqID"},
                                            {"sqlite_sequence", ""}, {"Req", "DeptName"}})
            got << schema::declaredType(QString::fromLatin1(table), *column ? QString::fromLatin1(column)
                                                                            : schema::keyColumn(QString::fromLatin1(table)));
        QCOMPARE(got.join(u','), u"INTEGER,INTEGER,INTEGER,INTEGER,VARCHAR(80),,,,"_s);
    }
};

CVD_TEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
