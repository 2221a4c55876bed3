#include "countrytable.h"

#include <QCoreApplication>
#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The countries.txt that the build puts beside the programs.
class TestShippedCountries : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyLineIsAccepted();
    void realCalls_data();
    void realCalls();
    void installedOnFirstStart();

private:
    QString m_path;
    CountryTable m_table;
};

void TestShippedCountries::initTestCase()
{
    m_path = QDir(QCoreApplication::applicationDirPath()).filePath(u"countries.txt"_s);
    QVERIFY2(QFile::exists(m_path), qPrintable(m_path));
}

void TestShippedCountries::everyLineIsAccepted()
{
    const QStringList messages = m_table.load(m_path);
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    QSet<QString> countries;
    for (const CountryEntry &e : m_table.entries()) {
        QVERIFY2(!e.name.isEmpty(), qPrintable(e.prefix));
        countries.insert(e.name);
    }
    // Every current DXCC entity that has a prefix of its own: well over 300.
    QVERIFY2(countries.size() >= 320, qPrintable(QString::number(countries.size())));
}

void TestShippedCountries::realCalls_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("country");

    const QList<std::pair<const char16_t *, const char16_t *>> calls = {
        {u"W1AW", u"United States of America"},
        {u"K1ABC", u"United States of America"},
        {u"N2XYZ", u"United States of America"},
        {u"AA7BQ", u"United States of America"},
        {u"KH6ABC", u"Hawaii"},
        {u"AH6X", u"Hawaii"},
        {u"KH7KY", u"Kure Island"},
        {u"KL7RA", u"Alaska"},
        {u"AL7X", u"Alaska"},
        {u"KP4AA", u"Puerto Rico"},
        {u"KH2JU", u"Guam"},
        {u"VE3ABC", u"Canada"},
        {u"VA7XX", u"Canada"},
        {u"VO1AA", u"Canada"},
        {u"VY2ZM", u"Canada"},
        {u"DL1ABC", u"Federal Republic of Germany"},
        {u"DK0WCY", u"Federal Republic of Germany"},
        {u"G3ABC", u"England"},
        {u"M0XYZ", u"England"},
        {u"2E0ABC", u"England"},
        {u"GM4ABC", u"Scotland"},
        {u"MM0XXX", u"Scotland"},
        {u"GW4ABC", u"Wales"},
        {u"GI3ABC", u"Northern Ireland"},
        {u"GD4ABC", u"Isle of Man"},
        {u"EI7CC", u"Ireland"},
        {u"F5ABC", u"France"},
        {u"TK5XN", u"Corsica"},
        {u"I2ABC", u"Italy"},
        {u"IS0ABC", u"Sardinia"},
        {u"EA4ABC", u"Spain"},
        {u"EA8AB", u"Canary Islands"},
        {u"CT1ABC", u"Portugal"},
        {u"CU2AB", u"Azores"},
        {u"PA3ABC", u"Netherlands"},
        {u"ON4UN", u"Belgium"},
        {u"OZ1ABC", u"Denmark"},
        {u"OX3XR", u"Greenland"},
        {u"LA9ABC", u"Norway"},
        {u"SM5ABC", u"Sweden"},
        {u"OH2BH", u"Finland"},
        {u"OH0Z", u"Aland Islands"},
        {u"OJ0B", u"Market Reef"},
        {u"HB9ABC", u"Switzerland"},
        {u"HB0X", u"Liechtenstein"},
        {u"JA1ABC", u"Japan"},
        {u"JD1BIE", u"Ogasawara"},
        {u"HL1ABC", u"Republic of Korea"},
        {u"BY1PK", u"China"},
        {u"BV2AB", u"Taiwan"},
        {u"VR2XMT", u"Hong Kong"},
        {u"VU2ABC", u"India"},
        {u"4X1ABC", u"Israel"},
        {u"UA3ABC", u"European Russia"},
        {u"UA9XYZ", u"Asiatic Russia"},
        {u"RA0FF", u"Asiatic Russia"},
        {u"R9XC", u"Asiatic Russia"},
        {u"UA2FZ", u"Kaliningrad"},
        {u"UR5ABC", u"Ukraine"},
        {u"EW1AB", u"Belarus"},
        {u"VK2ABC", u"Australia"},
        {u"VK9NS", u"Norfolk Island"},
        {u"ZL1ABC", u"New Zealand"},
        {u"ZL7X", u"Chatham Islands"},
        {u"ZS6ABC", u"South Africa"},
        {u"ZS8M", u"Prince Edward & Marion Islands"},
        {u"5B4AB", u"Cyprus"},
        {u"ZC4A", u"UK Sov. Base Areas on Cyprus"},
        {u"SV1ABC", u"Greece"},
        {u"SV9AB", u"Crete"},
        {u"LU1ABC", u"Argentina"},
        {u"PY2ABC", u"Brazil"},
        {u"PY0FF", u"Fernando de Noronha"},
        {u"CE3ABC", u"Chile"},
        {u"CE0Y", u"Easter Island"},
        {u"XE1ABC", u"Mexico"},
        {u"9M2AB", u"West Malaysia"},
        {u"9M6XX", u"East Malaysia"},
        {u"3DA0AB", u"Eswatini"},
        {u"3D2AB", u"Fiji"},
        {u"FT5WQ", u"Crozet Island"},
        {u"VP2EE", u"Anguilla"},
        {u"VP8LP", u"Falkland Islands"},
        {u"4U1ITU", u"ITU Headquarters"},
        {u"4U1UN", u"United Nations Headquarters"},
        {u"A61AB", u"United Arab Emirates"},
        {u"5Z4AB", u"Kenya"},
        {u"CN8AB", u"Morocco"},
        {u"9A1A", u"Croatia"},
        {u"S51AB", u"Slovenia"},
        {u"YO3ABC", u"Romania"},
        {u"LZ1AB", u"Bulgaria"},
        {u"HA5AB", u"Hungary"},
        {u"OK1ABC", u"Czech Republic"},
        {u"SP5ABC", u"Poland"},
        {u"TF3AB", u"Iceland"},
        // Portable operation: the prefix before the stroke counts.
        {u"DL/G3ABC", u"Federal Republic of Germany"},
        {u"KH6/DL1ABC", u"Hawaii"},
        {u"F/G3ABC", u"France"},
        {u"EA8/DL1ABC", u"Canary Islands"},
        {u"OH0/DL1AB", u"Aland Islands"},
        {u"VP9/W1AW", u"Bermuda"},
        {u"G3ABC/P", u"England"},
        {u"W1AW/M", u"United States of America"},
        {u"-DL1ABC", u"Deleted Log Entry"},
    };
    for (const auto &[call, country] : calls)
        QTest::newRow(qPrintable(QString::fromUtf16(call))) << QString::fromUtf16(call) << QString::fromUtf16(country);
}

void TestShippedCountries::realCalls()
{
    QFETCH(QString, call);
    QFETCH(QString, country);
    if (m_table.isEmpty())
        m_table.load(m_path);
    QCOMPARE(m_table.country(call), country);
}

void TestShippedCountries::installedOnFirstStart()
{
    QTemporaryDir data;
    QVERIFY(installDefaultCountries(data.path()));
    CountryTable installed;
    QVERIFY(installed.load(data.filePath(u"countries.txt"_s)).isEmpty());
    QCOMPARE(installed.size(), m_table.size());
    QCOMPARE(installed.country(u"KL7RA"_s), u"Alaska"_s);
}

QTEST_GUILESS_MAIN(TestShippedCountries)
#include "tst_shippedcountries.moc"
