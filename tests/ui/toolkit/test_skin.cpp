// The skin: colour file rules, style-sheet placeholders, and the shipped colours, style sheet
// and font.
#include "ui/toolkit/Skin.h"

#include "common/gui_util.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace
{

class SkinTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(tmp.isValid()); }

    QString write(const QString& name, const QByteArray& content)
    {
        const QString path = tmp.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

    QTemporaryDir tmp;
    std::unique_ptr<OX::Skin> skin { OX::Skin::createInstance() };
};

const QColor kRed(255, 0, 0, 255);

TEST_F(SkinTest, UnknownKeyIsOpaqueRed)
{
    EXPECT_EQ(skin->colorByName(QStringLiteral("nothing")), kRed);
    EXPECT_EQ((*skin)[QStringLiteral("nothing")], kRed);
}

TEST_F(SkinTest, ColourFileRules)
{
    int changed = 0;
    QObject::connect(skin.get(), &OX::Skin::skinChanged, [&changed] { ++changed; });
    const QString path = write(QStringLiteral("colors.json"), R"({"skin": {
        "plain": "#123456", "short": "#abc", "alpha": "#80FF0000",
        "word": "red", "number": 5, "empty": "", "broken": "##6FF00"}})");
    ASSERT_TRUE(skin->load(path));
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(skin->colorByName(QStringLiteral("plain")), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(skin->colorByName(QStringLiteral("short")), QColor(0xaa, 0xbb, 0xcc));
    EXPECT_EQ(skin->colorByName(QStringLiteral("alpha")), QColor(255, 0, 0, 0x80));
    // Not beginning with "#", not a string, empty: skipped, so the fallback answers.
    EXPECT_EQ(skin->colorByName(QStringLiteral("word")), kRed);
    EXPECT_EQ(skin->colorByName(QStringLiteral("number")), kRed);
    EXPECT_EQ(skin->colorByName(QStringLiteral("empty")), kRed);
    // Begins with "#" but is no colour: stored, as an invalid colour.
    EXPECT_FALSE(skin->colorByName(QStringLiteral("broken")).isValid());
}

TEST_F(SkinTest, ASkinThatIsNoObjectKeepsTheColours)
{
    ASSERT_TRUE(skin->load(write(QStringLiteral("a.json"), R"({"skin": {"k": "#010203"}})")));
    int changed = 0;
    QObject::connect(skin.get(), &OX::Skin::skinChanged, [&changed] { ++changed; });
    for (const QByteArray& content :
        { QByteArray(R"({"skin": ["#000000"]})"), QByteArray(R"({"skin": "#000000"})"),
            QByteArray(R"({"other": {}})"), QByteArray("not json at all") }) {
        EXPECT_TRUE(skin->load(write(QStringLiteral("b.json"), content)));
        EXPECT_EQ(skin->colorByName(QStringLiteral("k")), QColor(1, 2, 3));
    }
    EXPECT_EQ(changed, 4);
}

TEST_F(SkinTest, ASecondFileReplacesTheWholeTable)
{
    ASSERT_TRUE(skin->load(write(QStringLiteral("a.json"), R"({"skin": {"a": "#010203", "b": "#040506"}})")));
    ASSERT_TRUE(skin->load(write(QStringLiteral("b.json"), R"({"skin": {"b": "#070809"}})")));
    EXPECT_EQ(skin->colorByName(QStringLiteral("a")), kRed);
    EXPECT_EQ(skin->colorByName(QStringLiteral("b")), QColor(7, 8, 9));
}

TEST_F(SkinTest, MissingFilesWarnAndChangeNothing)
{
    ASSERT_TRUE(skin->load(write(QStringLiteral("a.json"), R"({"skin": {"a": "#010203"}})")));
    int changed = 0;
    QObject::connect(skin.get(), &OX::Skin::skinChanged, [&changed] { ++changed; });
    EXPECT_FALSE(skin->load(tmp.filePath(QStringLiteral("missing.json"))));
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(skin->colorByName(QStringLiteral("a")), QColor(1, 2, 3));
    EXPECT_TRUE(skin->loadQSS(tmp.filePath(QStringLiteral("missing.qss"))).isEmpty());
}

TEST_F(SkinTest, StyleSheetPlaceholders)
{
    ASSERT_TRUE(skin->load(write(
        QStringLiteral("c.json"), R"({"skin": {"pageBackgroundColor": "#323232", "see": "#80AbCdEf"}})")));
    const QString qss = skin->loadQSS(write(QStringLiteral("s.qss"),
        "QDialog { background: @pageBackgroundColor; }\n"
        "QLabel { color: @see; border: 1px solid @see; }\n"
        "QFrame { color: @unknownKey; }\n"));
    EXPECT_EQ(qss,
        QStringLiteral("QDialog { background: #323232; }\n"
                       "QLabel { color: #abcdef; border: 1px solid #abcdef; }\n"
                       "QFrame { color: @unknownKey; }\n"));
}

TEST_F(SkinTest, StyleSheetStopsAtAZeroByteAndIsUtf8)
{
    ASSERT_TRUE(skin->load(write(QStringLiteral("c.json"), R"({"skin": {"k": "#010203"}})")));
    QByteArray content("/* caf\xC3\xA9 */ QLabel { color: @k; }");
    content.append('\0');
    content.append("QFrame { color: @k; }");
    EXPECT_EQ(skin->loadQSS(write(QStringLiteral("z.qss"), content)),
        QString::fromUtf8("/* caf\xC3\xA9 */ QLabel { color: #010203; }"));
}

TEST_F(SkinTest, AKeyThatBeginsAnotherLeavesTheLongerPlaceholderWhole)
{
    ASSERT_TRUE(skin->load(
        write(QStringLiteral("c.json"), R"({"skin": {"ab": "#222222", "a": "#111111", "abc": "#333333"}})")));
    EXPECT_EQ(skin->loadQSS(write(QStringLiteral("p.qss"), "x: @ab; y: @a; z: @abc;")),
        QStringLiteral("x: #222222; y: #111111; z: #333333;"));
}

TEST(SkinInstance, OneObjectForEveryThread)
{
    OX::Skin* seen[4] = {};
    // Standard threads: their join orders their writes for a thread checker, QThread::wait() does not.
    std::thread threads[4];
    for (int i = 0; i < 4; ++i)
        threads[i] = std::thread([&seen, i] { seen[i] = OX::Skin::instance(); });
    for (std::thread& t : threads)
        t.join();
    for (OX::Skin* s : seen)
        EXPECT_EQ(s, OX::Skin::instance());
    EXPECT_EQ(OX::Skin::color(QStringLiteral("surely not a key")), kRed);
}

// The shipped skin: every colour valid, no key the prefix of another, every placeholder of the
// style sheet a key, and a sheet that Qt parses.
TEST(ShippedSkin, ColoursAndStyleSheet)
{
    QFile colors(QStringLiteral(":/styles/colors"));
    ASSERT_TRUE(colors.open(QIODevice::ReadOnly));
    const QJsonObject table
        = QJsonDocument::fromJson(colors.readAll()).object().value(QStringLiteral("skin")).toObject();
    EXPECT_EQ(table.size(), 60);
    const QStringList keys = table.keys();
    for (const QString& key : keys) {
        EXPECT_TRUE(QColor(table.value(key).toString()).isValid()) << key.toStdString();
        for (const QString& other : keys)
            EXPECT_FALSE(key != other && other.startsWith(key))
                << key.toStdString() << " " << other.toStdString();
    }

    std::unique_ptr<OX::Skin> skin(OX::Skin::createInstance());
    ASSERT_TRUE(skin->load(QStringLiteral(":/styles/colors")));
    EXPECT_EQ(skin->colorByName(QStringLiteral("pageBackgroundColor")), QColor(0x32, 0x32, 0x32));
    EXPECT_EQ(skin->colorByName(QStringLiteral("activeWidgetColor")), QColor(0x2C, 0xB5, 0xE6));
    EXPECT_EQ(skin->colorByName(QStringLiteral("angleViewPassiveAreaColor")), QColor(0x66, 0x66, 0x66));

    QFile raw(QStringLiteral(":/styles/global"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QString rawText = QString::fromUtf8(raw.readAll());
    QSet<QString> used;
    auto it = QRegularExpression(QStringLiteral("@(\\w+)")).globalMatch(rawText);
    while (it.hasNext())
        used.insert(it.next().captured(1));
    EXPECT_EQ(used.size(), 32);
    for (const QString& key : used)
        EXPECT_TRUE(table.contains(key)) << key.toStdString();

    const QString sheet = skin->loadQSS(QStringLiteral(":/styles/global"));
    EXPECT_FALSE(sheet.contains(QLatin1Char('@')));
    EXPECT_TRUE(sheet.contains(QStringLiteral("background: #323232")));

    // Qt says "Could not parse ... stylesheet" when a sheet is broken.
    const QString before = qApp->styleSheet(); // empty: the sheet is never the whole application's
    testutil::LogCapture log;
    qApp->setStyleSheet(sheet);
    {
        QLabel label(QStringLiteral("x"));
        label.ensurePolished();
    }
    qApp->setStyleSheet(before);
    for (const QString& w : log.lines())
        EXPECT_FALSE(w.contains(QStringLiteral("parse"), Qt::CaseInsensitive)) << w.toStdString();
}

// Every picture the style sheet names is compiled in and loads.
TEST(ShippedSkin, EveryUrlOfTheStyleSheetLoads)
{
    QFile raw(QStringLiteral(":/styles/global"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    auto it = QRegularExpression(QStringLiteral("url\\(\\s*([^)\\s]+)\\s*\\)"))
                  .globalMatch(QString::fromUtf8(raw.readAll()));
    QSet<QString> urls;
    while (it.hasNext())
        urls.insert(it.next().captured(1));
    EXPECT_EQ(urls.size(), 5);
    for (const QString& url : qAsConst(urls)) {
        const QImage image(url);
        ASSERT_FALSE(image.isNull()) << url.toStdString();
        EXPECT_EQ(image.size(), QSize(20, 20)) << url.toStdString();
    }
}

TEST(ShippedFont, LoadsFromTheResources)
{
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/uifont"));
    ASSERT_NE(id, -1);
    EXPECT_FALSE(QFontDatabase::applicationFontFamilies(id).isEmpty());
    QFontDatabase::removeApplicationFont(id);
}

} // namespace
