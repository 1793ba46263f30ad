#include "Fixture.h"
#include "SessionTest.h"
#include "TestFolder.h"

#include "store/Collation.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/Session.h"
#include "store/Statement.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "RecordingPrompter.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using namespace kx;
using namespace kx::store;

class TestStore : public test::SessionTest
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void openRefusesFilesThatAreNotDatabases_data();
    void openRefusesFilesThatAreNotDatabases();
    void routeListOrdersNamesIgnoringCase();
    void orderIgnoringCaseAgreesLetterByLetter();
    void identIndexNarrowsWithoutMissingARow();
    void navigationAndEofBof();
    void valuesByNameAndNull();
    void locateExactAndPrefix();
    void editPostCancel();
    void appendReadsKeyBack();
    void appendCancelRemovesRow();
    void deleteMovesToNextRow();
    void refreshAtRestoresRow();
    void boundValuesKeepQuotes();
    void postFailureKeepsBuffer();
    void tableObjectLocatesOneRow();
    void transactionRollsBackOnScopeExit();
    void largeTransactionGivesItsCacheBack();
    void statementRunsAgainWithNewValues();

private:
};

void TestStore::init()
{
    QVERIFY(openSession());
}

void TestStore::cleanup()
{
    closeSession();
}

void TestStore::openRefusesFilesThatAreNotDatabases_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("keepBytes"); // >0: keep only this many bytes of a real database
    QTest::newRow("empty file") << QByteArray() << 0;
    QTest::newRow("text") << QByteArray("this is not a database at all, just some text\n").repeated(20) << 0;
    QTest::newRow("header only") << QByteArray() << 100;
    QTest::newRow("truncated") << QByteArray() << 8192;
}

void TestStore::openRefusesFilesThatAreNotDatabases()
{
    QFETCH(QByteArray, content);
    QFETCH(int, keepBytes);
    const QString path = m_folder->file(QStringLiteral("bad.kdb"));
    if (keepBytes > 0) {
        QFile good(m_session->databasePath());
        QVERIFY(good.open(QIODevice::ReadOnly));
        content = good.readAll().left(keepBytes);
        QVERIFY(good.size() > keepBytes);
    }
    QFile bad(path);
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(content);
    bad.close();
    Database db(QStringLiteral("bad"));
    QVERIFY(!db.open(path));
    QVERIFY(!db.isOpen());
    QVERIFY(!db.lastError().isEmpty());
    Database missing(QStringLiteral("missing"));
    QVERIFY(!missing.open(m_folder->file(QStringLiteral("none.kdb"))));
    QVERIFY(!QFileInfo::exists(m_folder->file(QStringLiteral("none.kdb"))));
}

void TestStore::routeListOrdersNamesIgnoringCase()
{
    m_fix->addRoute(QStringLiteral("москва - сочи"), 1400.0);
    m_fix->addRoute(QStringLiteral("Б"), {});
    m_fix->addRoute(QStringLiteral("МОСКВА - СОЧИ"), {});
    m_fix->addRoute(QStringLiteral("apple"), 5.0);
    m_fix->addRoute(QStringLiteral("Zulu"), 5.0);
    QVERIFY(m_session->openRoutes());
    QStringList names;
    for (m_session->QRoutes.first(); !m_session->QRoutes.eof(); m_session->QRoutes.next())
        names << m_session->QRoutes.value(u"Name").toString();
    // Same names (letter case ignored) are ordered by distance, Null first.
    QCOMPARE(names, (QStringList{"apple", "Zulu", "Б", "МОСКВА - СОЧИ", "москва - сочи"}));

    // The collation serves equality in statements too.
    Query q(m_session->ADOC, QStringLiteral("Q"));
    QVERIFY(q.open(QStringLiteral("SELECT Code FROM Routes WHERE Name = ? COLLATE KALYX_NOCASE"),
                   {QStringLiteral("Москва - Сочи")}));
    QCOMPARE(q.rowCount(), 2);
}

// The collation's order is that of the texts' case-folded letters, whatever
// the two texts share at their beginning: Cyrillic letters of two bytes that
// share their first one (Ж D0 96, Ц D0 A6), letters of two bytes beside ASCII,
// one text the beginning of the other.
void TestStore::orderIgnoringCaseAgreesLetterByLetter()
{
    const QString alphabet = QStringLiteral("aAzZ09 -жЖцЦёЁяЯσΣς");
    QRandomGenerator random(20261211);
    const auto randomText = [&](int length) {
        QString text;
        for (int i = 0; i < length; ++i)
            text += alphabet.at(random.bounded(alphabet.size()));
        return text;
    };
    const auto folded = [](const QString &text) {
        QString out;
        for (const QChar c : text)
            out += c.toCaseFolded();
        return out;
    };
    const auto sign = [](int value) { return (value > 0) - (value < 0); };
    for (int round = 0; round < 3000; ++round) {
        const QString a = randomText(random.bounded(8));
        // Mostly a text that begins as a does, so that the comparison starts
        // inside the shared part.
        const QString b = round % 4 == 0 ? randomText(random.bounded(8))
                                         : a.left(random.bounded(a.size() + 1)) + randomText(random.bounded(3));
        const QByteArray ua = a.toUtf8();
        const QByteArray ub = b.toUtf8();
        const int expected = sign(QString::compare(folded(a), folded(b)));
        QVERIFY2(sign(compareNoCase(ua.constData(), int(ua.size()), ub.constData(), int(ub.size()))) == expected,
                 qPrintable(QStringLiteral("«%1» against «%2»").arg(a, b)));
        QVERIFY2(sign(compareNoCase(ub.constData(), int(ub.size()), ua.constData(), int(ua.size()))) == -expected,
                 qPrintable(QStringLiteral("«%1» against «%2»").arg(b, a)));
    }
}

void TestStore::identIndexNarrowsWithoutMissingARow()
{
    // The schema's ident index knows only SQLite's NOCASE (ASCII letters); the
    // program narrows its look-ups through it and must still find every row
    // its own collation takes as equal: Cyrillic letters in either case, and
    // letters whose case folds meet across ASCII (the Kelvin sign folds to k,
    // the long s to s), in short idents and in long ones alike.
    const QString alphabet = QStringLiteral("aAkKsSzZ09-* жЖёЁяЯ") + QChar(0x212A) + QChar(0x017F) + QStringLiteral("ßΣσςİı");
    QRandomGenerator random(20261210);
    const auto randomText = [&](int maxLength) {
        QString text;
        const int length = random.bounded(maxLength + 1);
        for (int i = 0; i < length; ++i)
            text += alphabet.at(random.bounded(alphabet.size()));
        return text;
    };
    const auto respelled = [&](const QString &text) {
        QString out;
        for (const QChar c : text) {
            switch (random.bounded(4)) {
            case 0: out += c.toUpper(); break;
            case 1: out += c.toLower(); break;
            case 2: out += c == u'k' || c == u'K' ? QChar(0x212A) : (c == u's' || c == u'S' ? QChar(0x017F) : c); break;
            default: out += c;
            }
        }
        return out;
    };
    QStringList stored;
    for (int i = 0; i < 400; ++i)
        stored << randomText(i % 2 ? 4 : 12);
    QVERIFY(m_session->ADOC.begin());
    for (const QString &id : std::as_const(stored))
        QVERIFY(m_fix->addPunkt(id, QStringLiteral("N55*00.00"), QStringLiteral("E037*00.00")) > 0);
    QVERIFY(m_session->ADOC.commit());

    const auto codes = [&](const QString &sql, const QVariantList &values) {
        QSqlQuery q(m_session->ADOC.sql());
        q.prepare(sql);
        for (const QVariant &v : values)
            q.addBindValue(v);
        QList<qint64> out;
        if (!q.exec())
            qWarning("%s", qPrintable(q.lastError().text()));
        while (q.next())
            out << q.value(0).toLongLong();
        std::sort(out.begin(), out.end());
        return out;
    };
    int found = 0;
    for (int round = 0; round < 600; ++round) {
        const QString id = round % 3 == 0 ? randomText(12) : respelled(stored.at(random.bounded(stored.size())));
        const QList<qint64> all =
            codes(QStringLiteral("SELECT Code FROM Punkts WHERE ID = ? COLLATE KALYX_NOCASE"), {id});
        QVariantList values;
        const QString narrow = noCaseIndexCondition(QStringLiteral("Punkts.ID"), id, &values);
        values << id;
        const QString sql =
            QStringLiteral("SELECT Code FROM Punkts WHERE %1 AND Punkts.ID = ? COLLATE KALYX_NOCASE").arg(narrow);
        QCOMPARE(codes(sql, values), all);
        found += all.size();
        if (round < 20) {
            QSqlQuery plan(m_session->ADOC.sql());
            plan.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
            for (const QVariant &v : std::as_const(values))
                plan.addBindValue(v);
            QVERIFY(plan.exec());
            QString text;
            while (plan.next())
                text += plan.value(3).toString() + u'\n';
            QVERIFY2(text.contains(QStringLiteral("INDEX Punkts_ID_Region")), qPrintable(id + u'\n' + text));
        }
    }
    QVERIFY(found > 400); // the respelled idents found their rows
}

void TestStore::navigationAndEofBof()
{
    for (int i = 1; i <= 3; ++i)
        m_fix->addRoute(QStringLiteral("R%1").arg(i));
    Query &q = m_session->QRoutes;
    QVERIFY(m_session->openRoutes());
    QCOMPARE(q.rowNumber(), 1);
    QVERIFY(!q.prior());
    QVERIFY(q.bof());
    QVERIFY(q.next());
    QVERIFY(!q.bof());
    QVERIFY(q.last());
    QCOMPARE(q.rowNumber(), 3);
    QVERIFY(!q.eof());
    QVERIFY(!q.next());
    QVERIFY(q.eof());
    QCOMPARE(q.rowNumber(), 3);
    QVERIFY(q.setRowNumber(2));
    QVERIFY(!q.setRowNumber(4));
    QCOMPARE(q.value(u"Name").toString(), QStringLiteral("R2"));

    q.close();
    QCOMPARE(q.rowNumber(), 0);
    QVERIFY(q.eof() && q.bof());
}

void TestStore::valuesByNameAndNull()
{
    const qint64 p = m_fix->addPunkt(QStringLiteral("UUEE"), QStringLiteral("N55*58.33"), QStringLiteral("E037*24.87"));
    const qint64 r = m_fix->addRoute(QStringLiteral("R"));
    const qint64 b = m_fix->addRsbn(QStringLiteral("NP"), QStringLiteral("37 PSKOV"), QStringLiteral("N57*47.10"),
                                    QStringLiteral("E028*24.40"));
    m_fix->addPoint(r, 1, p, b);
    m_fix->addPoint(r, 2, p);
    Query q(m_session->ADOC, QStringLiteral("Q"));
    QVERIFY(q.open(QStringLiteral("SELECT Points.Number, Points.Code, Punkts.ID AS \"Punkts.ID\", RSBN.ID AS \"RSBN.ID\", "
                                  "Points.MPU FROM (Points INNER JOIN Punkts ON Points.Punkt = Punkts.Code) "
                                  "LEFT JOIN RSBN ON Points.RSBN = RSBN.Code WHERE Points.Route = ? ORDER BY Points.Number"),
                   {r}));
    QCOMPARE(q.rowCount(), 2);
    QCOMPARE(q.value(u"Punkts.ID").toString(), QStringLiteral("UUEE"));
    QCOMPARE(q.value(u"RSBN.ID").toString(), QStringLiteral("NP"));
    QCOMPARE(q.value(u"points.number").toInt(), 1); // qualified name of an unqualified column
    QCOMPARE(q.value(u"ID").toString(), QStringLiteral("UUEE")); // unqualified finds the first
    QVERIFY(q.isNull(u"MPU"));
    QVERIFY(!q.value(u"MPU").isValid() || q.value(u"MPU").isNull());
    QVERIFY(q.next());
    QVERIFY(q.isNull(u"RSBN.ID"));
    QCOMPARE(q.columnIndex(u"NoSuchColumn"), -1);
    QVERIFY(!q.value(u"NoSuchColumn").isValid());
}

void TestStore::locateExactAndPrefix()
{
    m_fix->addRoute(QStringLiteral("Alpha"));
    m_fix->addRoute(QStringLiteral("абакан - Москва"));
    m_fix->addRoute(QStringLiteral("Beta 100%_x"));
    Query &q = m_session->QRoutes;
    QVERIFY(m_session->openRoutes());
    QVERIFY(q.locate(u"Name", QStringLiteral("АБА"), Locate::PrefixNoCase));
    QCOMPARE(q.value(u"Name").toString(), QStringLiteral("абакан - Москва"));
    QVERIFY(q.locate(u"Name", QStringLiteral("beta 100%_"), Locate::PrefixNoCase)); // no wildcards here
    QCOMPARE(q.rowNumber(), 2);
    QVERIFY(!q.locate(u"Name", QStringLiteral("Gamma"), Locate::PrefixNoCase));
    QCOMPARE(q.rowNumber(), 2); // unchanged
    QVERIFY(!q.locate(u"Name", QStringLiteral("alpha"))); // exact is case-sensitive
    const QVariant code = q.value(u"Code");
    QVERIFY(q.first());
    QVERIFY(q.locate(u"Code", code.toInt())); // numbers by value, whatever their type
    QCOMPARE(q.rowNumber(), 2);
}

void TestStore::editPostCancel()
{
    const qint64 r = m_fix->addRoute(QStringLiteral("Old"), 10.0, QDateTime::currentDateTime());
    Query &q = m_session->QRoutes;
    QVERIFY(m_session->openRoutes());
    QSignalSpy changed(&q, &Query::rowValuesChanged);
    QVERIFY(q.edit());
    q.setValue(u"Name", QStringLiteral("New"));
    q.setValue(u"DateTime", QVariant());
    QCOMPARE(q.value(u"Name").toString(), QStringLiteral("New")); // the buffer is what the list shows
    QCOMPARE(m_fix->value("Routes", r, "Name").toString(), QStringLiteral("Old"));
    QVERIFY2(q.post(), qPrintable(q.lastError()));
    QCOMPARE(q.state(), Query::State::Browse);
    QCOMPARE(m_fix->value("Routes", r, "Name").toString(), QStringLiteral("New"));
    QVERIFY(m_fix->value("Routes", r, "DateTime").isNull());
    QCOMPARE(m_fix->value("Routes", r, "S").toDouble(), 10.0); // untouched columns stay
    QVERIFY(changed.count() >= 2);

    QVERIFY(q.edit());
    q.setValue(u"Name", QStringLiteral("Discarded"));
    q.cancel();
    QCOMPARE(q.value(u"Name").toString(), QStringLiteral("New"));
    QCOMPARE(m_fix->value("Routes", r, "Name").toString(), QStringLiteral("New"));

    // Date-times go in as local time text and come back as the same moment.
    const QDateTime when(QDate(2026, 12, 10), QTime(14, 5, 7));
    QVERIFY(q.edit());
    q.setValue(u"DateTime", when);
    QVERIFY(q.post());
    QCOMPARE(m_fix->value("Routes", r, "DateTime").toString(), QStringLiteral("2026-12-10T14:05:07"));
    QVERIFY(m_session->openRoutes());
    QCOMPARE(q.value(u"DateTime").toDateTime(), when);
}

void TestStore::appendReadsKeyBack()
{
    m_fix->addRoute(QStringLiteral("B"));
    Query &q = m_session->QRoutes;
    QVERIFY(m_session->openRoutes());
    QVERIFY(q.append());
    QCOMPARE(q.rowCount(), 2);
    QCOMPARE(q.rowNumber(), 2);
    q.setValue(u"Name", QStringLiteral("A"));
    q.setValue(u"FL", 9449);
    QVERIFY(q.post());
    const qint64 code = q.value(u"Code").toLongLong();
    QVERIFY(code > 0);
    QCOMPARE(m_fix->value("Routes", code, "Name").toString(), QStringLiteral("A"));
    QVERIFY(m_fix->value("Routes", code, "S").isNull());
    QVERIFY(m_session->reopenRoutesAt(code));
    QCOMPARE(q.rowNumber(), 1);
}

void TestStore::appendCancelRemovesRow()
{
    m_fix->addRoute(QStringLiteral("A"));
    m_fix->addRoute(QStringLiteral("B"));
    Query &q = m_session->QRoutes;
    QVERIFY(m_session->openRoutes());
    QVERIFY(q.append());
    q.setValue(u"Name", QStringLiteral("C"));
    q.cancel();
    QCOMPARE(q.rowCount(), 2);
    QCOMPARE(q.rowNumber(), 2);
    QCOMPARE(m_fix->count("Routes"), 2);
}

void TestStore::deleteMovesToNextRow()
{
    for (const char *n : {"A", "B", "C"})
        m_fix->addRoute(QString::fromLatin1(n));
    Query &q = m_session->QRoutes;
    QVERIFY(m_session->openRoutes());
    QVERIFY(q.setRowNumber(2));
    QVERIFY(q.deleteRow());
    QCOMPARE(q.value(u"Name").toString(), QStringLiteral("C")); // the row after
    QVERIFY(q.deleteRow());
    QCOMPARE(q.value(u"Name").toString(), QStringLiteral("A")); // the last row went: the one before
    QVERIFY(q.deleteRow());
    QVERIFY(q.isEmpty());
    QCOMPARE(q.rowNumber(), 0);
    QCOMPARE(m_fix->count("Routes"), 0);
    QVERIFY(!q.deleteRow());
}

void TestStore::refreshAtRestoresRow()
{
    m_fix->addRoute(QStringLiteral("A"));
    const qint64 b = m_fix->addRoute(QStringLiteral("B"));
    Query &q = m_session->QRoutes;
    QVERIFY(m_session->openRoutes());
    QVERIFY(q.last());
    QVERIFY(q.edit());
    q.setValue(u"Name", QStringLiteral("0 first now"));
    // Re-reading posts the pending change first.
    QVERIFY(m_session->reopenRoutesAt(b));
    QCOMPARE(q.rowNumber(), 1);
    QCOMPARE(m_fix->value("Routes", b, "Name").toString(), QStringLiteral("0 first now"));
    // A code that is gone leaves the first row current.
    QVERIFY(q.last());
    QVERIFY(m_session->reopenRoutesAt(12345));
    QCOMPARE(q.rowNumber(), 1);
}

void TestStore::boundValuesKeepQuotes()
{
    const QString name = QStringLiteral("Route \"Rossiya\" 'x' 100% _ \\ ;DROP TABLE Routes;--");
    Query &q = m_session->QRoutes;
    QVERIFY(m_session->openRoutes());
    QVERIFY(q.append());
    q.setValue(u"Name", name);
    QVERIFY(q.post());
    Query read(m_session->ADOC, QStringLiteral("Q"));
    QVERIFY(read.open(QStringLiteral("SELECT Name FROM Routes WHERE Name = ?"), {name}));
    QCOMPARE(read.rowCount(), 1);
    QCOMPARE(read.value(u"Name").toString(), name);
}

void TestStore::postFailureKeepsBuffer()
{
    m_fix->addRoute(QStringLiteral("A"));
    Query &q = m_session->QRoutes;
    QVERIFY(m_session->openRoutes());
    QVERIFY(q.edit());
    q.setValue(u"Name", QStringLiteral("B"));
    // The row vanished under the list: posting reports it instead of claiming success.
    QVERIFY(m_session->ADOC.exec(QStringLiteral("DELETE FROM Routes")));
    QVERIFY(!q.post());
    QVERIFY(!q.lastError().isEmpty());
    QCOMPARE(q.state(), Query::State::Edit);
    q.cancel();
    QCOMPARE(q.state(), Query::State::Browse);
}

void TestStore::tableObjectLocatesOneRow()
{
    const qint64 p1 = m_fix->addPunkt(QStringLiteral("A"), QStringLiteral("N01*00.00"), QStringLiteral("E001*00.00"));
    const qint64 p2 = m_fix->addPunkt(QStringLiteral("B"), QStringLiteral("N02*00.00"), QStringLiteral("E002*00.00"));
    Table t(m_session->ADOC, QStringLiteral("T"));
    QVERIFY(!t.open(QStringLiteral("NoSuchTable")));
    QVERIFY(t.open(QStringLiteral("Punkts")));
    QVERIFY(t.locate(QStringLiteral("Code"), p2));
    QCOMPARE(t.value(u"ID").toString(), QStringLiteral("B"));
    QVERIFY(t.edit());
    t.setValue(u"MS", 11.2);
    QVERIFY(t.post());
    QCOMPARE(m_fix->value("Punkts", p2, "MS").toDouble(), 11.2);
    QCOMPARE(m_fix->value("Punkts", p1, "MS").toDouble(), 0.0);
    QVERIFY(!t.locate(QStringLiteral("Code"), 999));

    QVERIFY(t.append());
    t.setValue(u"ID", QStringLiteral("C"));
    QVERIFY(t.post());
    const qint64 p3 = t.value(u"Code").toLongLong();
    QVERIFY(p3 > p2);
    QCOMPARE(m_fix->value("Punkts", p3, "ID").toString(), QStringLiteral("C"));
}

void TestStore::transactionRollsBackOnScopeExit()
{
    Query &q = m_session->QRoutes;
    QVERIFY(m_session->openRoutes());
    {
        Transaction t(m_session->ADOC);
        QVERIFY(t.isActive());
        QVERIFY(q.append());
        q.setValue(u"Name", QStringLiteral("Lost"));
        QVERIFY(q.post());
        // leaving the scope without commit
    }
    QVERIFY(!m_session->ADOC.inTransaction());
    QCOMPARE(m_fix->count("Routes"), 0);
    QVERIFY(m_session->openRoutes());
    QCOMPARE(q.rowCount(), 0);
    {
        Transaction t(m_session->ADOC);
        QVERIFY(q.append());
        q.setValue(u"Name", QStringLiteral("Kept"));
        QVERIFY(q.post());
        QVERIFY(t.commit());
    }
    QCOMPARE(m_fix->count("Routes"), 1);
}

// A catalogue import holds many pages in memory while it writes, and lets
// them go when it ends, whether it committed or not.
void TestStore::largeTransactionGivesItsCacheBack()
{
    Database &db = m_session->ADOC;
    const auto cacheSize = [&db] {
        Statement size(db, QStringLiteral("PRAGMA cache_size"));
        return size.execFirst() ? size.value(0).toLongLong() : 0;
    };
    const qint64 before = cacheSize();
    QVERIFY(before != 0);
    for (const bool commit : {true, false}) {
        {
            LargeTransaction t(db);
            QVERIFY(t.isActive());
            QVERIFY(db.inTransaction());
            QVERIFY(qAbs(cacheSize()) > 16 * qAbs(before)); // many times the usual
            QVERIFY(db.exec(QStringLiteral("INSERT INTO Routes (Name) VALUES (?)"), {QStringLiteral("Kept")}));
            if (commit)
                QVERIFY(t.commit());
        }
        QVERIFY(!db.inTransaction());
        QCOMPARE(cacheSize(), before);
    }
    QCOMPARE(m_fix->count("Routes"), 1);
}

void TestStore::statementRunsAgainWithNewValues()
{
    Database &db = m_session->ADOC;
    Statement insert(db, QStringLiteral("INSERT INTO Routes (Name, S) VALUES (?, ?)"));
    QVERIFY(insert.isPrepared());
    const QString quoted = QStringLiteral("O'Hare \"7\" ;--");
    QVERIFY(insert.exec({QStringLiteral("A"), 10.5}));
    const qint64 first = insert.lastInsertId().toLongLong();
    QVERIFY(insert.exec({quoted, QVariant()}));
    QCOMPARE(insert.rowsAffected(), 1);
    QVERIFY(insert.lastInsertId().toLongLong() > first);

    // Each run reads its own rows: a cursor left half-read does not leak into the next run.
    Statement find(db, QStringLiteral("SELECT Name, S FROM Routes WHERE Code >= ? ORDER BY Code"));
    QVERIFY(find.exec({first}));
    QVERIFY(find.next());
    QCOMPARE(find.value(0).toString(), QStringLiteral("A"));
    QVERIFY(find.execFirst({first + 1}));
    QCOMPARE(find.value(u"Name"_qs).toString(), quoted);
    QVERIFY(find.isNull(1));
    QVERIFY(!find.next());
    // No row is not a failure.
    QVERIFY(!find.execFirst({first + 100}));
    QVERIFY(find.lastError().isEmpty());

    // A statement that cannot be prepared fails at every run, with the reason and its text.
    Statement broken(db, QStringLiteral("SELECT NoSuchColumn FROM Routes WHERE Code = ?"));
    QVERIFY(!broken.isPrepared());
    QVERIFY(!broken.exec({1}));
    QVERIFY(broken.lastError().contains(QStringLiteral("NoSuchColumn")));
    // A run refused by the database says why and the next good run clears it.
    Statement unique(db, QStringLiteral("INSERT INTO Routes (Code, Name) VALUES (?, ?)"));
    QVERIFY(!unique.exec({first, QStringLiteral("dup")}));
    QVERIFY(!unique.lastError().isEmpty());
    QVERIFY(unique.exec({first + 1000, QStringLiteral("ok")}));
    QVERIFY(unique.lastError().isEmpty());
    QCOMPARE(m_fix->count("Routes"), 3);
}

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
