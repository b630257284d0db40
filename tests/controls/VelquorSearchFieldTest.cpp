#include "controls/VelquorSearchField.h"
#include "controls/VelquorBasicButton.h"
#include "controls/VelquorBorderView.h"
#include "controls/VelquorNumberFormatter.h"
#include "controls/VelquorSearchFieldCell.h"
#include "controls/VelquorSecureField.h"
#include "controls/VelquorSecureTextField.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

// Leftmost and rightmost columns holding dark (text) pixels.
std::pair<int, int> darkColumns(const QImage &image)
{
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 128 && c.red() < 90 && c.green() < 90 && c.blue() < 90) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    return {first, last};
}

QFont systemFont(int pixelSize)
{
    QFont font;
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

TEST(VelquorSearchField, TextStaysClearOfTheCaptionButtons)
{
    EXPECT_EQ(VelquorSearchFieldCell::textRect(QSizeF(300, 30), 0, 60, 0, 5, 18), QRectF(65, 6, 230, 18));

    VelquorSearchField field;
    field.setFont(systemFont(15));
    field.resize(300, 30);
    field.cell()->setLeftButtonWidth(60);
    field.cell()->leftButton()->setBackgroundNormalColor(Qt::white);
    field.show();
    const QRectF text = field.searchTextRect();
    EXPECT_EQ(text.left(), 65);
    EXPECT_EQ(text.width(), 230);
    EXPECT_NEAR(text.center().y(), 15, 0.01);

    QTest::keyClicks(&field, "WW");
    const int first = darkColumns(field.grab().toImage()).first;
    EXPECT_GE(first, 65);
    EXPECT_LE(first, 67);

    // A text too long for the room scrolls inside it; the line edit's own 2-pixel inner margin may
    // show glyph edges just past the rectangle.
    QTest::keyClicks(&field, QString(40, u'W'));
    auto [scrolledFirst, last] = darkColumns(field.grab().toImage());
    EXPECT_GE(scrolledFirst, 63);
    EXPECT_GE(last, 285);
    EXPECT_LE(last, 297);

    field.cell()->setRightButtonWidth(40);
    EXPECT_EQ(field.cell()->rightButton()->geometry(), QRect(260, 0, 40, 30));
    field.cell()->rightButton()->setBackgroundNormalColor(Qt::white);
    EXPECT_LE(darkColumns(field.grab().toImage()).second, 257);
}

TEST(VelquorSearchField, KeepsOneButtonPerSideSizedFromTheField)
{
    VelquorSearchField field;
    field.resize(300, 30);
    field.show();
    field.cell()->setLeftButtonWidth(60);
    VelquorBasicButton *left = field.cell()->leftButton();
    field.cell()->setLeftButtonWidth(80);
    field.cell()->setRightButtonWidth(20);
    field.cell()->setRightButtonWidth(30);
    EXPECT_EQ(field.cell()->leftButton(), left);
    EXPECT_EQ(field.findChildren<VelquorBasicButton *>().size(), 2);

    field.resize(400, 44);
    EXPECT_EQ(left->geometry(), QRect(0, 0, 80, 44));
    EXPECT_EQ(field.cell()->rightButton()->geometry(), QRect(370, 0, 30, 44));
    EXPECT_EQ(field.searchTextRect().left(), 85);
    EXPECT_EQ(field.searchTextRect().right(), 365);
}

TEST(VelquorSearchField, EventTypeDecidesTheBorder)
{
    QWidget host;
    host.setPalette(QPalette(Qt::white));
    host.setAutoFillBackground(true);
    host.resize(220, 50);
    auto *field = new VelquorSearchField(&host);
    field->setGeometry(10, 10, 200, 30);
    host.show();
    auto leftEdge = [&] { return qGray(host.grab().toImage().pixel(10, 25)); };
    EXPECT_LT(qAbs(leftEdge() - 0xAA), 0x20) << "type 0 draws a light grey border";
    field->setFiledEventType(1);
    EXPECT_EQ(leftEdge(), 255);
    field->setFiledEventType(7);
    EXPECT_FALSE(field->borderView()->isVisible()) << "other values change nothing";
    field->setFiledEventType(0);
    EXPECT_TRUE(field->borderView()->isVisible());
}

TEST(VelquorSearchField, TypingNotSetTextCallsTheChangeHandler)
{
    VelquorSearchField field;
    field.show();
    field.setFocus();
    QTest::keyClicks(&field, "ab");
    QStringList changes;
    QList<VelquorSearchField *> senders;
    QStringList endings;
    field.setTextFieldDidChange([&](VelquorSearchField *sender, const QString &text) {
        senders << sender;
        changes << text;
    });
    field.setTextFieldDidEndEditing([&](VelquorSearchField *, const QString &text) { endings << text; });
    QTest::keyClicks(&field, "cd");
    field.setText("replaced");
    QTest::keyClick(&field, Qt::Key_Backspace);
    EXPECT_EQ(changes, (QStringList{"abc", "abcd", "replace"}));
    EXPECT_EQ(senders.size(), 3);
    EXPECT_EQ(senders.first(), &field);
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(endings, QStringList{"replace"});
}

TEST(VelquorSearchField, ACaptionLetsClicksThrough)
{
    VelquorSearchField field;
    EXPECT_FALSE(field.testAttribute(Qt::WA_TransparentForMouseEvents));
    field.setEditable(false);
    EXPECT_FALSE(field.testAttribute(Qt::WA_TransparentForMouseEvents)) << "still selectable";
    field.setSelectable(false);
    EXPECT_TRUE(field.testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST(VelquorSecureField, InputIsLaidOutFromTheBoxSize)
{
    EXPECT_EQ(VelquorSecureField::secureTextFieldFrame(QSizeF(300, 30), 0, 60, 0), QRectF(58, 0, 240, 30));
    EXPECT_EQ(VelquorSecureField::secureTextFieldFrame(QSizeF(300, 30), 0, 0, 0), QRectF(0, 0, 300, 30));

    VelquorSecureField box;
    box.resize(300, 30);
    box.show();
    box.setLeftButtonWidth(60);
    EXPECT_EQ(box.secureTextField()->geometry(), QRect(58, 0, 240, 30));
    EXPECT_EQ(box.leftButton()->geometry(), QRect(0, 0, 60, 30));
    box.setRightButtonWidth(40);
    EXPECT_EQ(box.rightButton()->geometry(), QRect(260, 0, 40, 30));
    box.resize(400, 40);
    EXPECT_EQ(box.secureTextField()->geometry(), QRect(58, 0, 300, 40));
    EXPECT_EQ(box.rightButton()->geometry(), QRect(360, 0, 40, 40));
}

TEST(VelquorSecureField, HidesWhatIsTypedAndDrawsItsBorderInTypeZero)
{
    VelquorSecureField box;
    box.resize(300, 30);
    box.show();
    QTest::keyClicks(box.secureTextField(), "s3cret");
    EXPECT_EQ(box.secureTextField()->stringValue(), "s3cret");
    EXPECT_EQ(box.secureTextField()->displayText(), QString(6, box.secureTextField()->displayText().at(0)));
    EXPECT_NE(box.secureTextField()->displayText(), "s3cret");

    const QColor border = box.grab().toImage().pixelColor(150, 0);
    EXPECT_LT(qAbs(border.red() - 0xAA), 0x30);
    box.setFiledEventType(1);
    EXPECT_EQ(box.grab().toImage().pixelColor(150, 0), QColor(Qt::white)) << "the input's own white background";
}

TEST(VelquorNumberFormatter, AcceptsOnlyOneWholeNumber)
{
    for (const char *text : {"", "12", "-3", " 7", "+5", "007", "12 ", "99999999999999999999"})
        EXPECT_TRUE(VelquorNumberFormatter::isPartialStringValid(QString::fromUtf8(text))) << text;
    for (const char *text : {"1a", "a", "1.5", "-", " ", "1 2", "--1", "\u0661"})
        EXPECT_FALSE(VelquorNumberFormatter::isPartialStringValid(QString::fromUtf8(text))) << text;

    VelquorSearchField year;
    year.setValidator(new VelquorNumberFormatter(&year));
    year.show();
    QTest::keyClicks(&year, "19x8.4");
    EXPECT_EQ(year.text(), "1984");
}
