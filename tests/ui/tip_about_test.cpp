// The Tip of the Day, the About box, the toolbar images, the program icon
// and the desktop entry.
#include "calculator/about_dialog.h"
#include "calculator/common/settings_store.h"
#include "calculator/tip_of_day_dialog.h"
#include "calculator/toolbar_images.h"
#include "platform/qt/control_id.h"
#include "resources/string_table.h"
#include "tests/support/scripted_random.h"

#include "support/ui_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>

#include <cstdlib>
#include <memory>
#include <random>

using calculator::CAboutDialog;
using calculator::CTipOfDayDialog;

Q_DECLARE_METATYPE(std::vector<int>)

namespace {

// The source tree, for the files that ship beside the program.
QString SourcePath(const QString& relative) {
    return QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../../") +
           relative;
}

std::function<int()> Seeded(unsigned seed) {
    auto engine = std::make_shared<std::mt19937>(seed);
    return [engine] { return static_cast<int>((*engine)() & 0x7fffffff); };
}

QString TipText(const CTipOfDayDialog& dlg) {
    auto* text = platform::FindControl<QLabel>(&dlg, CTipOfDayDialog::kIdTipText);
    return text ? text->text() : QStringLiteral("<no tip text control>");
}

void ClickNext(CTipOfDayDialog& dlg) {
    auto* next = platform::FindControl<QPushButton>(&dlg, CTipOfDayDialog::kIdNextTip);
    QVERIFY(next);
    QTest::mouseClick(next, Qt::LeftButton);
}

// The settings store of the test, under the program's own names.
struct TestSettings {
    TestSettings() {
        calculator::SetSettingsRoot("Pellacor");
        calculator::SetApplicationName("Ordovane");
    }
    ScopedTempRegistry registry;
};

bool IsGrey(QRgb pixel) {
    const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
    return std::abs(r - g) <= 1 && std::abs(g - b) <= 1;
}

} // namespace

class TipAboutTest : public QObject {
    Q_OBJECT

private slots:
    void tipIdsAreTheTableInAscendingOrder();
    void opensWithTheFirstRandomChoice_data();
    void opensWithTheFirstRandomChoice();
    void nextTipShowsAnotherTip();
    void enterMeansNextTip();
    void everyTipOnceBeforeAnyRepeats_data();
    void everyTipOnceBeforeAnyRepeats();
    void checkBoxStartsFromTheSetting_data();
    void checkBoxStartsFromTheSetting();
    void closingStoresTheCheckBox_data();
    void closingStoresTheCheckBox();
    void dialogTexts();
    void everyTipFitsTheTextArea();
    void headingIsBoldAndSixPointsLarger_data();
    void headingIsBoldAndSixPointsLarger();

    void aboutShowsExactlyItsThreeTexts();
    void aboutBannerIsDrawn();
    void aboutOkCloses();

    void toolbarImagesFollowTheToolbarOrder();
    void toolbarIconsHaveBothImages();
    void noTwoToolbarImagesAreAlike();
    void disabledImagesAreGreyAndNormalOnesAreNot();
    void toolbarIndexOutOfRange();

    void applicationIconSizes();
    void applicationIconMatchesItsScalableCopy();
    void desktopEntry();
};

void TipAboutTest::tipIdsAreTheTableInAscendingOrder() {
    const std::vector<int>& ids = CTipOfDayDialog::TipIds();
    QCOMPARE(ids.size(), size_t(65));
    QCOMPARE(ids.front(), 5501);
    QCOMPARE(ids[1], 5506);
    QCOMPARE(ids.back(), 5569);
    for (size_t i = 1; i < ids.size(); ++i)
        QVERIFY(ids[i - 1] < ids[i]);
    for (int id : ids)
        QVERIFY2(resources::LoadStringText(id), qPrintable(QString::number(id)));
}

void TipAboutTest::opensWithTheFirstRandomChoice_data() {
    QTest::addColumn<std::vector<int>>("randoms");
    QTest::addColumn<int>("tipId");
    QTest::addColumn<QString>("text");
    // Index 0 is 5501; from index 1 on the ids run 5506, 5507, ...
    QTest::newRow("index 0") << std::vector<int>{0} << 5501
                             << "You can know product version by by clicking About Ordovane on "
                                "the Help menu.";
    QTest::newRow("index 10") << std::vector<int>{10} << 5515
                              << "Ordovane provides an ideal host for users to design and test "
                                 "the algorithms that require to invoke the big number operations "
                                 "with non-interactive scripts.";
    QTest::newRow("75 wraps to 10") << std::vector<int>{75} << 5515
                                    << "Ordovane provides an ideal host for users to design and "
                                       "test the algorithms that require to invoke the big number "
                                       "operations with non-interactive scripts.";
    QTest::newRow("last index") << std::vector<int>{64} << 5569
                                << "Suppose you have a piece of memory dump and you wish to format "
                                   "it to get a big number, you can use Hex Formatter to perform.";
}

void TipAboutTest::opensWithTheFirstRandomChoice() {
    QFETCH(std::vector<int>, randoms);
    QFETCH(int, tipId);
    QFETCH(QString, text);
    TestSettings settings;
    CTipOfDayDialog dlg(nullptr, Scripted(randoms));
    QCOMPARE(dlg.currentTipId(), tipId);
    QCOMPARE(TipText(dlg), text);
}

void TipAboutTest::nextTipShowsAnotherTip() {
    TestSettings settings;
    // 3 -> 5508; 3 again is taken, so the search moves on to 5509.
    CTipOfDayDialog dlg(nullptr, Scripted({3, 3}));
    dlg.show();
    QCOMPARE(dlg.currentTipId(), 5508);
    ClickNext(dlg);
    QCOMPARE(dlg.currentTipId(), 5509);
    QCOMPARE(TipText(dlg), QStringLiteral("You can close a dialog box by pressing Esc."));
    QVERIFY(dlg.isVisible());
}

void TipAboutTest::enterMeansNextTip() {
    TestSettings settings;
    CTipOfDayDialog dlg(nullptr, Scripted({20, 20, 20}));
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    const int first = dlg.currentTipId();
    QTest::keyClick(&dlg, Qt::Key_Return);
    QVERIFY(dlg.isVisible());
    QVERIFY(dlg.currentTipId() != first);
    QCOMPARE(TipText(dlg), QString::fromUtf8(resources::LoadStringText(dlg.currentTipId())));
}

void TipAboutTest::everyTipOnceBeforeAnyRepeats_data() {
    QTest::addColumn<int>("source"); // -1: std::rand, else an mt19937 seed
    QTest::newRow("std::rand") << -1;
    QTest::newRow("seed 5") << 5;
    QTest::newRow("seed 991") << 991;
}

void TipAboutTest::everyTipOnceBeforeAnyRepeats() {
    QFETCH(int, source);
    TestSettings settings;
    std::function<int()> random;
    if (source < 0)
        std::srand(12345);
    else
        random = Seeded(static_cast<unsigned>(source));
    CTipOfDayDialog dlg(nullptr, random);
    const QSet<int> all(CTipOfDayDialog::TipIds().begin(), CTipOfDayDialog::TipIds().end());

    // Two whole rounds: the opening tip and 64 presses, then 65 more presses.
    for (int round = 0; round < 2; ++round) {
        QSet<int> seen;
        for (int i = 0; i < 65; ++i) {
            if (round > 0 || i > 0)
                ClickNext(dlg);
            const int id = dlg.currentTipId();
            QVERIFY2(
                !seen.contains(id),
                qPrintable(
                    QStringLiteral("tip %1 repeated at %2 of round %3").arg(id).arg(i).arg(round)));
            seen.insert(id);
            QCOMPARE(TipText(dlg), QString::fromUtf8(resources::LoadStringText(id)));
        }
        QCOMPARE(seen, all);
    }
}

void TipAboutTest::checkBoxStartsFromTheSetting_data() {
    QTest::addColumn<int>("stored"); // -1: no value stored
    QTest::addColumn<bool>("checked");
    QTest::newRow("no value") << -1 << true;
    QTest::newRow("0") << 0 << false;
    QTest::newRow("1") << 1 << true;
    QTest::newRow("any non-zero") << 5 << true;
}

void TipAboutTest::checkBoxStartsFromTheSetting() {
    QFETCH(int, stored);
    QFETCH(bool, checked);
    TestSettings settings;
    if (stored >= 0)
        QVERIFY(calculator::WriteProfileInt("View", "TipOfDay", stored));
    CTipOfDayDialog dlg;
    auto* box = platform::FindControl<QCheckBox>(&dlg, CTipOfDayDialog::kIdShowAtStartup);
    QVERIFY(box);
    QCOMPARE(box->isChecked(), checked);
}

void TipAboutTest::closingStoresTheCheckBox_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("written");
    for (const QString how : {"Close", "Esc", "frame"}) {
        QTest::addRow("default, unchecked, %s", qPrintable(how)) << -1 << true << how << 0;
        QTest::addRow("default, kept, %s", qPrintable(how)) << -1 << false << how << 1;
        QTest::addRow("0, checked, %s", qPrintable(how)) << 0 << true << how << 1;
        QTest::addRow("0, kept, %s", qPrintable(how)) << 0 << false << how << 0;
    }
}

void TipAboutTest::closingStoresTheCheckBox() {
    QFETCH(int, stored);
    QFETCH(bool, toggle);
    QFETCH(QString, how);
    QFETCH(int, written);
    TestSettings settings;
    if (stored >= 0)
        QVERIFY(calculator::WriteProfileInt("View", "TipOfDay", stored));
    CTipOfDayDialog dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    auto* box = platform::FindControl<QCheckBox>(&dlg, CTipOfDayDialog::kIdShowAtStartup);
    QVERIFY(box);
    if (toggle)
        QTest::mouseClick(box, Qt::LeftButton);
    // Nothing is stored before the dialog closes.
    QCOMPARE(calculator::GetProfileInt("View", "TipOfDay", -1), stored);

    if (how == "Close") {
        QTest::mouseClick(platform::FindControl<QPushButton>(&dlg, CTipOfDayDialog::kIdClose),
                          Qt::LeftButton);
    } else if (how == "Esc") {
        QTest::keyClick(&dlg, Qt::Key_Escape);
    } else {
        dlg.close();
    }
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QCOMPARE(calculator::GetProfileInt("View", "TipOfDay", -1), written);
}

void TipAboutTest::dialogTexts() {
    TestSettings settings;
    CTipOfDayDialog dlg;
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Tip of the Day"));
    auto* heading = platform::FindControl<QLabel>(&dlg, CTipOfDayDialog::kIdHeading);
    auto* box = platform::FindControl<QCheckBox>(&dlg, CTipOfDayDialog::kIdShowAtStartup);
    auto* next = platform::FindControl<QPushButton>(&dlg, CTipOfDayDialog::kIdNextTip);
    auto* close = platform::FindControl<QPushButton>(&dlg, CTipOfDayDialog::kIdClose);
    auto* text = platform::FindControl<QLabel>(&dlg, CTipOfDayDialog::kIdTipText);
    QVERIFY(heading && box && next && close && text);
    QCOMPARE(heading->text(), QStringLiteral("Did you know..."));
    QCOMPARE(box->text(), QStringLiteral("Show tips at startup"));
    QCOMPARE(next->text(), QStringLiteral("&Next Tip"));
    QCOMPARE(close->text(), QStringLiteral("&Close"));
    QVERIFY(next->isDefault());
    QVERIFY(text->wordWrap());
    // The tip area keeps its size whatever the tip.
    QCOMPARE(text->minimumSize(), text->maximumSize());
}

void TipAboutTest::everyTipFitsTheTextArea() {
    TestSettings settings;
    CTipOfDayDialog dlg;
    auto* text = platform::FindControl<QLabel>(&dlg, CTipOfDayDialog::kIdTipText);
    QVERIFY(text);
    for (int id : CTipOfDayDialog::TipIds()) {
        text->setText(QString::fromUtf8(resources::LoadStringText(id)));
        QVERIFY2(text->heightForWidth(text->width()) <= text->height(),
                 qPrintable(QString::number(id)));
    }
}

void TipAboutTest::headingIsBoldAndSixPointsLarger_data() {
    QTest::addColumn<double>("points");
    QTest::newRow("9 points") << 9.0;
    QTest::newRow("12.5 points") << 12.5;
}

void TipAboutTest::headingIsBoldAndSixPointsLarger() {
    QFETCH(double, points);
    TestSettings settings;
    const QFont saved = QApplication::font();
    QFont base = saved;
    base.setPointSizeF(points);
    base.setWeight(QFont::Normal);
    QApplication::setFont(base);
    {
        CTipOfDayDialog dlg;
        auto* heading = platform::FindControl<QLabel>(&dlg, CTipOfDayDialog::kIdHeading);
        QVERIFY(heading);
        QCOMPARE(dlg.font().pointSizeF(), points);
        QCOMPARE(heading->font().pointSizeF(), points + 6);
        QCOMPARE(heading->font().weight(), QFont::Bold);
        QCOMPARE(int(heading->font().weight()), 700);
        QCOMPARE(heading->font().family(), dlg.font().family());
        // Only the heading is enlarged.
        auto* text = platform::FindControl<QLabel>(&dlg, CTipOfDayDialog::kIdTipText);
        QCOMPARE(text->font().pointSizeF(), points);
    }
    QApplication::setFont(saved);
}

void TipAboutTest::aboutShowsExactlyItsThreeTexts() {
    CAboutDialog dlg;
    QCOMPARE(dlg.windowTitle(), QStringLiteral("About Ordovane"));
    QStringList texts;
    for (QLabel* label : dlg.findChildren<QLabel*>())
        texts << label->text();
    for (QAbstractButton* button : dlg.findChildren<QAbstractButton*>())
        texts << button->text();
    texts.sort();
    QCOMPARE(texts, QStringList({"Kestrune's Multiple-Precision Hex Calculator", "OK",
                                 "Ordovane Version 4.21"}));
    QCOMPARE(platform::FindControl<QLabel>(&dlg, CAboutDialog::kIdProductName)->text(),
             QStringLiteral("Kestrune's Multiple-Precision Hex Calculator"));
    QCOMPARE(platform::FindControl<QLabel>(&dlg, CAboutDialog::kIdVersion)->text(),
             QStringLiteral("Ordovane Version 4.21"));
    QVERIFY(platform::FindControl<QPushButton>(&dlg, CAboutDialog::kIdOk)->isDefault());
}

void TipAboutTest::aboutBannerIsDrawn() {
    CAboutDialog dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QWidget* banner = platform::FindControl(&dlg, CAboutDialog::kIdBanner);
    QVERIFY(banner);
    const QImage image = banner->grab().toImage();
    QVERIFY(image.width() > 100 && image.height() > 30);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    }
    // A gradient, a grid and lettering: far more than a flat fill.
    QVERIFY2(colours.size() > 50, qPrintable(QString::number(colours.size())));
    // The lettering is white, on a dark band.
    QVERIFY(colours.contains(qRgb(255, 255, 255)));
    QVERIFY(qGray(image.pixel(2, image.height() / 2)) < 128);
}

void TipAboutTest::aboutOkCloses() {
    CAboutDialog dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTest::mouseClick(platform::FindControl<QPushButton>(&dlg, CAboutDialog::kIdOk),
                      Qt::LeftButton);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
}

void TipAboutTest::toolbarImagesFollowTheToolbarOrder() {
    // The toolbar's buttons, left to right, without the separators.
    const int commands[] = {32771, 32772, 32773, 32774, 32806, 32780, 32775, 32776, 32777, 32808};
    QCOMPARE(calculator::kToolbarImageCount, 10);
    for (int i = 0; i < 10; ++i)
        QCOMPARE(calculator::ToolbarImageCommand(i), commands[i]);
}

void TipAboutTest::toolbarIconsHaveBothImages() {
    const QSize size(24, 24);
    for (int i = 0; i < calculator::kToolbarImageCount; ++i) {
        const QIcon icon = calculator::ToolbarIcon(i);
        QVERIFY(!icon.isNull());
        QVERIFY(icon.availableSizes(QIcon::Normal).contains(size));
        QVERIFY(icon.availableSizes(QIcon::Disabled).contains(size));
        const QImage normal = icon.pixmap(size, QIcon::Normal).toImage();
        const QImage disabled = icon.pixmap(size, QIcon::Disabled).toImage();
        QCOMPARE(normal.size(), size);
        QCOMPARE(disabled.size(), size);
        // The icon carries exactly our pictures, not ones Qt derived.
        QCOMPARE(normal, calculator::ToolbarPixmap(i, false).toImage());
        QCOMPARE(disabled, calculator::ToolbarPixmap(i, true).toImage());
        QVERIFY(normal != disabled);
        // Transparent around the symbol, with a symbol in the middle.
        QCOMPARE(qAlpha(normal.pixel(0, 0)), 0);
        int opaque = 0;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 24; ++x)
                opaque += qAlpha(normal.pixel(x, y)) > 128;
        }
        QVERIFY2(opaque >= 40, qPrintable(QStringLiteral("image %1: %2").arg(i).arg(opaque)));
    }
}

void TipAboutTest::noTwoToolbarImagesAreAlike() {
    QVector<QImage> images;
    QStringList names;
    for (int i = 0; i < calculator::kToolbarImageCount; ++i) {
        for (bool disabled : {false, true}) {
            images << calculator::ToolbarPixmap(i, disabled).toImage();
            names << QStringLiteral("%1%2").arg(i).arg(disabled ? " disabled" : "");
        }
    }
    for (int a = 0; a < images.size(); ++a) {
        for (int b = a + 1; b < images.size(); ++b)
            QVERIFY2(images[a] != images[b], qPrintable(names[a] + " == " + names[b]));
    }
}

void TipAboutTest::disabledImagesAreGreyAndNormalOnesAreNot() {
    for (int i = 0; i < calculator::kToolbarImageCount; ++i) {
        const QImage normal = calculator::ToolbarPixmap(i, false).toImage();
        const QImage disabled = calculator::ToolbarPixmap(i, true).toImage();
        bool normalHasColour = false;
        bool disabledAllGrey = true;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 24; ++x) {
                if (qAlpha(normal.pixel(x, y)) > 200 && !IsGrey(normal.pixel(x, y)))
                    normalHasColour = true;
                if (qAlpha(disabled.pixel(x, y)) > 0 &&
                    !IsGrey(QColor::fromRgba(disabled.pixel(x, y)).rgb()))
                    disabledAllGrey = false;
            }
        }
        QVERIFY2(normalHasColour, qPrintable(QString::number(i)));
        QVERIFY2(disabledAllGrey, qPrintable(QString::number(i)));
    }
}

void TipAboutTest::toolbarIndexOutOfRange() {
    for (int index : {-1, 10, 11, 1000}) {
        QVERIFY(calculator::ToolbarIcon(index).isNull());
        QVERIFY(calculator::ToolbarPixmap(index, false).isNull());
        QVERIFY(calculator::ToolbarPixmap(index, true).isNull());
        QCOMPARE(calculator::ToolbarImageCommand(index), 0);
    }
}

void TipAboutTest::applicationIconSizes() {
    const QIcon icon = calculator::ApplicationIcon();
    QVERIFY(!icon.isNull());
    for (int size : {16, 32, 48, 64, 128}) {
        QVERIFY2(icon.availableSizes().contains(QSize(size, size)),
                 qPrintable(QString::number(size)));
        const QImage image = icon.pixmap(QSize(size, size)).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        // Rounded corners, solid middle.
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(size / 2, size / 4)), 255);
    }
}

// The scalable icon of the desktop entry is the same design: its three byte
// cells have the colours the drawn icon shows at those places.
void TipAboutTest::applicationIconMatchesItsScalableCopy() {
    QFile file(SourcePath("resources/desktop/ordovane.svg"));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    QXmlStreamReader xml(&file);
    QString viewBox;
    struct Cell {
        double x, y, w, h;
        QColor fill;
    };
    QVector<Cell> cells;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = xml.attributes();
        if (xml.name() == QLatin1String("svg"))
            viewBox = a.value("viewBox").toString();
        if (xml.name() == QLatin1String("rect") && a.value("width") == QLatin1String("18"))
            cells.push_back({a.value("x").toDouble(), a.value("y").toDouble(),
                             a.value("width").toDouble(), a.value("height").toDouble(),
                             QColor(a.value("fill").toString())});
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(viewBox, QStringLiteral("0 0 128 128"));
    QCOMPARE(cells.size(), 3);

    const QImage drawn = calculator::ApplicationIcon().pixmap(QSize(128, 128)).toImage();
    for (const Cell& c : cells) {
        QVERIFY(c.fill.isValid());
        const QRgb centre = drawn.pixel(int(c.x + c.w / 2), int(c.y + c.h / 2));
        QCOMPARE(QColor(centre).name(), c.fill.name());
        // Just outside the cell lies the tile, not the cell's colour.
        const QRgb outside = drawn.pixel(int(c.x + c.w / 2), int(c.y - 4));
        QVERIFY(QColor(outside).name() != c.fill.name());
    }
}

void TipAboutTest::desktopEntry() {
    QFile file(SourcePath("resources/desktop/ordovane.desktop"));
    QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(file.fileName()));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QVERIFY(!lines.isEmpty());
    QCOMPARE(lines.front(), QStringLiteral("[Desktop Entry]"));
    QMap<QString, QString> keys;
    for (int i = 1; i < lines.size(); ++i) {
        if (lines[i].startsWith('#'))
            continue;
        const int eq = lines[i].indexOf('=');
        QVERIFY2(eq > 0, qPrintable(lines[i]));
        const QString key = lines[i].left(eq);
        QVERIFY2(!keys.contains(key), qPrintable("duplicate " + key));
        keys.insert(key, lines[i].mid(eq + 1));
    }
    const QMap<QString, QString> expected{
        {"Type", "Application"},
        {"Name", "Ordovane"},
        {"GenericName", "Multiple-Precision Calculator"},
        {"Exec", "ordovane"},
        {"Icon", "ordovane"},
        {"Terminal", "false"},
        {"Categories", "Utility;Calculator;Development;"},
    };
    for (auto it = expected.begin(); it != expected.end(); ++it)
        QCOMPARE(keys.value(it.key()), it.value());
    QVERIFY(!keys.value("Comment").isEmpty());
    // The icon name is the scalable icon's file name.
    QVERIFY(QFileInfo::exists(SourcePath("resources/desktop/" + keys.value("Icon") + ".svg")));
}

QTEST_MAIN(TipAboutTest)
#include "tip_about_test.moc"
