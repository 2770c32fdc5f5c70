#include "runtime/ProgramInfo.h"
#include "runtime/RandomSource.h"
#include "runtime/Settings.h"
#include "shared/Module1.h"
#include "shared/Seams.h"
#include "support/GameFixture.h"

#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <cmath>

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestApplication(); }

    void loadSetsTheStartingState() {
        Module1::score = 0;
        GameFixture game({3, 6, 1});
        Form1& m = game.machine();
        QCOMPARE(game.random.seeds, 1);
        QCOMPARE(m.windowTitle(), QString("Brim's Rolvanger 1.25"));
        QCOMPARE(int(Module1::credits), 0);
        QCOMPARE(int(Module1::cash), 10);
        QCOMPARE(int(Module1::score), 0);
        QCOMPARE(int(m.spinLimit), 75);
        QVERIFY(!m.held1 && !m.held2 && !m.held3 && !m.spinning && !m.holdTouched);
        // The start-up symbols are pictures only.
        QCOMPARE(int(m.reel1) + m.reel2 + m.reel3, 0);
        QCOMPARE(m.hok1->accessibleDescription(), QString("3 orange"));
        QCOMPARE(m.hok2->accessibleDescription(), QString("6 bar"));
        QCOMPARE(m.hok3->accessibleDescription(), QString("1 cherries"));
        QVERIFY(!m.hok1->picture().isNull());
        QVERIFY(m.hok1->picture().size() != QSize(1, 1)); // not the white placeholder
    }

    void randCoversOneToSevenAtTheExtremes() {
        GameFixture game;
        const float justBelowOne = 1.0f - 1.0f / 16777216.0f;
        const std::array<std::pair<float, int>, 6> cases{{{0.0f, 1},
                                                          {justBelowOne, 7},
                                                          {1.0f / 7.0f, 2},
                                                          {std::nextafter(1.0f / 7.0f, 0.0f), 1},
                                                          {6.0f / 7.0f, 7},
                                                          {0.5f, 4}}};
        for (auto [r, expected] : cases) {
            game.random.draws = {r};
            QCOMPARE(int(game.machine().Rand(1, 7)), expected);
        }
    }

    void theRealGeneratorNeverReachesOne() {
        rt::ClockRandomSource source;
        source.seedFromClock();
        std::array<int, 9> counts{};
        GameFixture game;
        seams().use(source);
        for (int i = 0; i < 70000; ++i) {
            const float r = source.next();
            QVERIFY(r >= 0.0f && r < 1.0f);
            // 24-bit resolution: r * 2^24 is a whole number.
            QCOMPARE(std::floor(r * 16777216.0f), r * 16777216.0f);
            ++counts[game.machine().Rand(1, 7)];
        }
        QCOMPARE(counts[0] + counts[8], 0);
        for (int n = 1; n <= 7; ++n)
            QVERIFY2(counts[n] > 9000 && counts[n] < 11000, qPrintable(QString::number(counts[n])));
    }

    void aMissingSymbolShowsItsNumber() {
        QTemporaryDir empty;
        GameFixture game;
        rt::settings().programFolder = empty.path();
        Form1& m = game.machine();
        m.spinLimit = 1;
        Module1::credits = 1;
        game.random.symbols({5, 5, 5, 5, 5, 5});
        m.Command1_Click();
        const QImage face = m.hok1->picture().toImage();
        QCOMPARE(face.size(), m.hok1->size());
        QCOMPARE(face.pixelColor(2, 2), QColor(Qt::white));
        // Something dark is drawn in the middle: the number.
        bool dark = false;
        for (int x = 0; x < face.width() && !dark; ++x)
            dark = face.pixelColor(x, face.height() / 2).lightness() < 60;
        QVERIFY(dark);
        QCOMPARE(int(Module1::score), 8); // play goes on and pays
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
