// Selection grid, numeric spin and button list: layout, bit sets and input.
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "controls/RangeGrid.h"
#include "controls/SpinBtns.h"
#include "widgets/BtnList.h"
#include "bridge/Colors.h"

namespace {

const QStringList kWeekdays = {u"日"_qs, u"月"_qs, u"火"_qs, u"水"_qs,
                               u"木"_qs, u"金"_qs, u"土"_qs};

QStringList Numbered(int n) {
    QStringList items;
    for (int i = 1; i <= n; ++i) {
        items << QString::number(i);
    }
    return items;
}

// Geometry follows a resize only once a widget is on screen.
bool Shown(QWidget& w) {
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

void ClickCell(TSelectGrid& grid, int col, int row, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(&grid, button, {}, grid.CellRect(col, row).center());
}

}  // namespace

class ControlsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void toQColor_data();
    void toQColor();
    void selectGridConstructionSize();
    void selectGridColumnWidths();
    void selectedBits_data();
    void selectedBits();
    void selectGridMouseToggles();
    void selectGridDisablingClears();
    void selectGridPaintsOnCellsHighlighted();

    void normalizeText_data();
    void normalizeText();
    void scaledValue_data();
    void scaledValue();
    void valueEditTyping_data();
    void valueEditTyping();
    void valueEditMaxColumnKeepsLastCharacters();
    void spinTyping_data();
    void spinTyping();
    void spinSetValue();
    void spinSteps();
    void spinPassesFocusToItsEdit();

    void buttonListLayout_data();
    void buttonListLayout();
    void buttonListMinimumSize();
    void buttonListPresses_data();
    void buttonListPresses();
    void buttonListRebuildKeepsItemIndex();
};

void ControlsTest::toQColor_data() {
    QTest::addColumn<TColor>("stored");
    QTest::addColumn<QColor>("colour");
    const QPalette pal = QApplication::palette();
    // Stored colours are $00BBGGRR: red in the low byte.
    QTest::newRow("0x0000FF is red") << TColor(0x0000FF) << QColor(255, 0, 0);
    QTest::newRow("0xFF0000 is blue") << TColor(0xFF0000) << QColor(0, 0, 255);
    QTest::newRow("0x123456") << TColor(0x123456) << QColor(0x56, 0x34, 0x12);
    // $80000000 + index names a system colour.
    QTest::newRow("$8000000F button face") << TColor(0x8000000F) << pal.color(QPalette::Button);
    QTest::newRow("$80000008 window text") << TColor(0x80000008) << pal.color(QPalette::WindowText);
    QTest::newRow("$8000000D highlight") << TColor(0x8000000D) << pal.color(QPalette::Highlight);
}

void ControlsTest::toQColor() {
    QFETCH(TColor, stored);
    QFETCH(QColor, colour);
    QCOMPARE(ToQColor(stored), colour);
    if (!IsSystemColor(stored)) {
        QCOMPARE(FromQColor(colour), stored);
    }
}

void ControlsTest::selectGridConstructionSize() {
    TSelectGrid grid;
    // 5 columns of 50 and 1 row of 22, each with its one-pixel line.
    QCOMPARE(grid.size(), QSize(5 * 51, 23));
    QCOMPARE(grid.ColCount(), 5);
    QCOMPARE(grid.RowCount(), 1);
    QCOMPARE(grid.CellIndex(0, 0), -1);
}

void ControlsTest::selectGridColumnWidths() {
    TSelectGrid grid;
    grid.SetItems(kWeekdays);
    grid.resize(171, 23);
    QVERIFY(Shown(grid));
    // 171 less seven lines leaves 164: 164/7, 141/6, 118/5, 95/4 give 23; 72/3, 48/2, 24 give 24.
    const QList<int> expected = {23, 23, 23, 23, 24, 24, 24};
    QList<int> widths;
    for (int c = 0; c < grid.ColCount(); ++c) {
        widths << grid.ColWidths(c);
    }
    QCOMPARE(widths, expected);
    QCOMPARE(grid.CellRect(6, 0).right(), 171 - 2);
    QCOMPARE(grid.RowHeights(0), 22);
}

void ControlsTest::selectedBits_data() {
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<QList<int>>("on");
    QTest::addColumn<uint>("bits");
    // Reversebit true: item i is bit i.
    QTest::newRow("reverse, Mon+Fri = bits 1,5") << kWeekdays << true << QList<int>{1, 5} << 34u;
    QTest::newRow("reverse, Sun = bit 0") << kWeekdays << true << QList<int>{0} << 1u;
    // Reversebit false: first item is the most significant of 7 bits.
    QTest::newRow("msb first, Mon = bit 5") << kWeekdays << false << QList<int>{1} << 32u;
    QTest::newRow("msb first, Fri = bit 1") << kWeekdays << false << QList<int>{5} << 2u;
    QTest::newRow("msb first, Sun = bit 6") << kWeekdays << false << QList<int>{0} << 64u;
    QTest::newRow("msb first, Sat = bit 0") << kWeekdays << false << QList<int>{6} << 1u;
    const QList<int> all12 = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    QTest::newRow("12 months all on = 2^12-1") << Numbered(12) << true << all12 << 4095u;
    QTest::newRow("12 months none") << Numbered(12) << false << QList<int>{} << 0u;
    QTest::newRow("msb first, month 1 = bit 11") << Numbered(12) << false << QList<int>{0} << 2048u;
}

void ControlsTest::selectedBits() {
    QFETCH(QStringList, items);
    QFETCH(bool, reverse);
    QFETCH(QList<int>, on);
    QFETCH(uint, bits);

    TSelectGrid byItems;
    byItems.SetReversebit(reverse);
    byItems.SetItems(items);
    for (int i : on) {
        byItems.SetItemOn(i, true);
    }
    QCOMPARE(byItems.SelectedBits(), bits);

    TSelectGrid byBits;
    byBits.SetReversebit(reverse);
    byBits.SetItems(items);
    byBits.SetSelectedBits(0xFFFFFFFF);
    byBits.SetSelectedBits(bits);
    for (int i = 0; i < items.size(); ++i) {
        QCOMPARE(byBits.ItemOn(i), on.contains(i));
    }
}

void ControlsTest::selectGridMouseToggles() {
    TSelectGrid grid;
    grid.SetReversebit(true);
    grid.SetItems(Numbered(12));
    grid.SetColCount(7);
    grid.SetRowCount(2);
    grid.resize(7 * 30, 2 * 23);
    QVERIFY(Shown(grid));
    QSignalSpy clicks(&grid, &TSelectGrid::OnClick);

    ClickCell(grid, 2, 0);
    QCOMPARE(grid.SelectedBits(), 1u << 2);
    QCOMPARE(grid.Col(), 2);
    ClickCell(grid, 3, 1);  // item 3 + 7 = 10
    QCOMPARE(grid.SelectedBits(), (1u << 2) | (1u << 10));
    ClickCell(grid, 2, 0);
    QCOMPARE(grid.SelectedBits(), 1u << 10);
    // The two cells past the twelfth item hold nothing.
    QCOMPARE(grid.CellIndex(5, 1), -1);
    ClickCell(grid, 5, 1);
    ClickCell(grid, 6, 1);
    QCOMPARE(grid.SelectedBits(), 1u << 10);
    // Only the left button toggles.
    ClickCell(grid, 0, 0, Qt::RightButton);
    QCOMPARE(grid.SelectedBits(), 1u << 10);
    QCOMPARE(grid.Col(), 0);
    QCOMPARE(clicks.count(), 5);
    // The arrow keys move the current cell and toggle nothing.
    QTest::keyClick(&grid, Qt::Key_Right);
    QTest::keyClick(&grid, Qt::Key_Space);
    QCOMPARE(grid.Col(), 1);
    QCOMPARE(grid.SelectedBits(), 1u << 10);
}

void ControlsTest::selectGridDisablingClears() {
    TSelectGrid grid;
    grid.SetItems(kWeekdays);
    grid.SetSelectedBits(0x55);
    grid.setEnabled(false);
    QCOMPARE(grid.SelectedBits(), 0u);
    grid.setEnabled(true);
    QCOMPARE(grid.SelectedBits(), 0u);
}

void ControlsTest::selectGridPaintsOnCellsHighlighted() {
    TSelectGrid grid;
    grid.SetReversebit(true);
    grid.SetItems(kWeekdays);
    grid.resize(171, 23);
    grid.SetSelectedBits(0b10);
    QImage image(grid.size(), QImage::Format_RGB32);
    grid.render(&image);
    const QPoint corner(1, 1);  // inside the cell, clear of its caption
    QCOMPARE(image.pixelColor(grid.CellRect(1, 0).topLeft() + corner), ToQColor(clHighlight));
    QCOMPARE(image.pixelColor(grid.CellRect(0, 0).topLeft() + corner), ToQColor(clWindow));
    grid.setEnabled(false);
    grid.render(&image);
    QCOMPARE(image.pixelColor(grid.CellRect(1, 0).topLeft() + corner), ToQColor(clBtnFace));
}

void ControlsTest::normalizeText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("normal");
    QTest::newRow("leading zeros go") << "007"
                                      << "7";
    QTest::newRow("one digit stays") << "00"
                                     << "0";
    QTest::newRow("zero before point stays") << "0.5"
                                             << "0.5";
    QTest::newRow("bare point gets a zero") << ".5"
                                            << "0.5";
    QTest::newRow("zeros then point") << "00.5"
                                      << "0.5";
    QTest::newRow("empty stays empty") << ""
                                       << "";
}

void ControlsTest::normalizeText() {
    QFETCH(QString, text);
    QFETCH(QString, normal);
    QCOMPARE(TValueEdit::NormalizeText(text), normal);
}

void ControlsTest::scaledValue_data() {
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("base");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("scaled");
    QTest::addColumn<QString>("written");  // text after writing the scaled value back
    QTest::newRow("scale 2: 3.5 -> 350") << 2 << 1 << "3.5" << qint64(350) << "3.50";
    QTest::newRow("scale 2: 3 -> 300") << 2 << 1 << "3" << qint64(300) << "3.00";
    QTest::newRow("scale 2: 0.05 -> 5") << 2 << 1 << "0.05" << qint64(5) << "0.05";
    QTest::newRow("scale 0 keeps typed decimals") << 0 << 1 << "1.25" << qint64(125) << "125";
    QTest::newRow("base 10 multiplies") << 1 << 10 << "2.5" << qint64(250) << "2.5";
    QTest::newRow("empty reads 0") << 2 << 1 << "" << qint64(0) << "0.00";
}

void ControlsTest::scaledValue() {
    QFETCH(int, scale);
    QFETCH(int, base);
    QFETCH(QString, text);
    QFETCH(qint64, scaled);
    QFETCH(QString, written);
    TValueEdit edit;
    edit.SetScale(scale);
    edit.SetBase(base);
    edit.setText(text);
    QCOMPARE(edit.ScaledValue(), scaled);
    edit.SetScaledValue(scaled);
    QCOMPARE(edit.text(), written);
}

void ControlsTest::valueEditTyping_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::newRow("5 into 0 replaces it") << "0" << 1 << 0 << "5"
                                          << "5";
    QTest::newRow("letters, sign and blank refused") << "12" << 2 << 0 << "a- +x3"
                                                     << "123";
    QTest::newRow("second point refused") << "1.2" << 3 << 0 << ".3"
                                          << "1.23";
    QTest::newRow("point into empty gets a zero") << "" << 0 << 0 << ".5"
                                                  << "0.5";
    QTest::newRow("full decimals refuse more") << "1.25" << 4 << 2 << "7"
                                               << "1.25";
    QTest::newRow("full decimals, before point ok") << "1.25" << 0 << 2 << "3"
                                                    << "31.25";
    QTest::newRow("scale 0 has no limit") << "1.25" << 4 << 0 << "7"
                                          << "1.257";
}

void ControlsTest::valueEditTyping() {
    QFETCH(QString, start);
    QFETCH(int, cursor);
    QFETCH(int, scale);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    TValueEdit edit;
    edit.SetScale(scale);
    edit.setText(start);
    edit.setCursorPosition(cursor);
    QTest::keyClicks(&edit, keys);
    QCOMPARE(edit.text(), text);
}

void ControlsTest::valueEditMaxColumnKeepsLastCharacters() {
    TValueEdit edit;
    QSignalSpy changes(&edit, &TValueEdit::OnChange);
    edit.SetMaxColumn(3);
    edit.selectAll();
    edit.insert(u"12345"_qs);  // as a paste does
    QCOMPARE(edit.text(), u"345"_qs);
    QCOMPARE(edit.cursorPosition(), 3);
    edit.clear();
    QCOMPARE(edit.Value(), 0);
    edit.setText(u"1005"_qs);
    QCOMPARE(edit.text(), u"5"_qs);  // 005 normalised
    QCOMPARE(edit.Value(), 5);
    QVERIFY(changes.count() >= 2);
}

void ControlsTest::spinTyping_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.5 reads 15") << "1.5" << 15 << "15";
    QTest::newRow("150 clamped to Max 100") << "150" << 100 << "100";
    QTest::newRow("leading zero dropped") << "07" << 7 << "7";
    QTest::newRow("point alone keeps the text") << "4." << 4 << "4.";
}

void ControlsTest::spinTyping() {
    QFETCH(QString, keys);
    QFETCH(int, value);
    QFETCH(QString, text);
    TValueSpin spin;
    spin.SetMax(100);
    QSignalSpy changes(&spin, &TValueSpin::OnChange);
    QTest::keyClicks(spin.Edit(), keys);
    QCOMPARE(spin.Value(), value);
    QCOMPARE(spin.Edit()->text(), text);
    QVERIFY(changes.count() >= 1);
}

void ControlsTest::spinSetValue() {
    TValueSpin spin;
    QCOMPARE(spin.size(), QSize(spin.Edit()->width() + 16 + 2, spin.Edit()->height()));
    spin.resize(80, 24);
    QVERIFY(Shown(spin));
    QCOMPARE(spin.UpDown()->geometry(), QRect(64, 0, 16, 24));
    QCOMPARE(spin.Edit()->geometry(), QRect(0, 0, 62, 24));

    QSignalSpy changes(&spin, &TValueSpin::OnChange);
    spin.SetMin(1);
    spin.SetMax(13);
    QCOMPARE(spin.Edit()->text(), u"1"_qs);  // Min above the shown 0
    QCOMPARE(spin.Value(), 1);
    QCOMPARE(changes.count(), 1);
    spin.SetValue(1);
    QCOMPARE(changes.count(), 1);
    spin.SetValue(40);
    QCOMPARE(spin.Value(), 13);
    QCOMPARE(spin.Edit()->text(), u"13"_qs);
    QCOMPARE(changes.count(), 2);
    spin.SetMax(10);
    QCOMPARE(spin.Value(), 10);
    QCOMPARE(changes.count(), 3);
    spin.SetMax(40000);  // beyond 16 bits
    QCOMPARE(spin.Max(), 32767);
}

void ControlsTest::spinSteps() {
    TValueSpin spin;
    spin.SetMax(12);
    spin.SetIncrement(5);
    QVERIFY(Shown(spin));
    QSignalSpy changes(&spin, &TValueSpin::OnChange);
    QToolButton* up = spin.UpDown()->UpButton();
    QTest::mouseClick(up, Qt::LeftButton, {}, up->rect().center());
    QCOMPARE(spin.Value(), 5);
    QCOMPARE(spin.Edit()->text(), u"5"_qs);
    QTest::mouseClick(up, Qt::LeftButton, {}, up->rect().center());
    QTest::mouseClick(up, Qt::LeftButton, {}, up->rect().center());
    QCOMPARE(spin.Value(), 12);
    QToolButton* down = spin.UpDown()->DownButton();
    QTest::mouseClick(down, Qt::LeftButton, {}, down->rect().center());
    QCOMPARE(spin.Value(), 7);
    QCOMPARE(changes.count(), 4);
    // The arrow keys on the spin itself step by one, whatever the increment.
    QTest::keyClick(&spin, Qt::Key_Up);
    QCOMPARE(spin.Value(), 8);
    QTest::keyClick(&spin, Qt::Key_Down);
    QTest::keyClick(&spin, Qt::Key_Down);
    QCOMPARE(spin.Value(), 6);
    QCOMPARE(spin.Edit()->text(), u"6"_qs);
}

void ControlsTest::spinPassesFocusToItsEdit() {
    QWidget form;
    auto* before = new QLineEdit(&form);
    auto* spin = new TValueSpin(&form);
    spin->move(0, 30);
    QVERIFY(Shown(form));
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QSignalSpy enter(spin, &TValueSpin::OnEnter);
    QSignalSpy exit(spin, &TValueSpin::OnExit);
    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), spin->Edit());
    QCOMPARE(enter.count(), 1);
    // Back from the edit the focus stays on the spin, where the arrow keys step.
    QTest::keyClick(spin->Edit(), Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), spin);
    QTest::keyClick(spin, Qt::Key_Up);
    QCOMPARE(spin->Value(), 1);
    before->setFocus();
    QCOMPARE(exit.count(), 1);
}

void ControlsTest::buttonListLayout_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("align");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<int>>("lengths");
    // Base length n div count; the first button takes half the remainder, the last the rest.
    QTest::newRow("5 in 404: base 80, rest 4")
        << 5 << int(baHorizontal) << QSize(404, 25) << QList<int>{82, 80, 80, 80, 82};
    QTest::newRow("3 in 100: base 33, rest 1")
        << 3 << int(baHorizontal) << QSize(100, 25) << QList<int>{33, 33, 34};
    QTest::newRow("1 takes the whole width")
        << 1 << int(baHorizontal) << QSize(57, 25) << QList<int>{57};
    QTest::newRow("3 stacked in 100")
        << 3 << int(baVertical) << QSize(40, 100) << QList<int>{33, 33, 34};
}

void ControlsTest::buttonListLayout() {
    QFETCH(int, count);
    QFETCH(int, align);
    QFETCH(QSize, size);
    QFETCH(QList<int>, lengths);
    TButtonList list;
    list.SetButtonAlign(static_cast<TButtonAlign>(align));
    list.SetItems(Numbered(count));
    list.resize(size);
    QVERIFY(Shown(list));
    const bool across = align == baHorizontal;
    int pos = 0;
    for (int i = 0; i < count; ++i) {
        const QRect g = list.Button(i)->geometry();
        QCOMPARE(across ? g.left() : g.top(), pos);
        QCOMPARE(across ? g.width() : g.height(), lengths[i]);
        QCOMPARE(across ? g.height() : g.width(), across ? size.height() : size.width());
        pos += lengths[i];
    }
    QCOMPARE(pos, across ? size.width() : size.height());
}

void ControlsTest::buttonListMinimumSize() {
    TButtonList list;
    QCOMPARE(list.size(), QSize(80, 25));
    list.resize(10, 10);
    QCOMPARE(list.size(), QSize(15, 15));
    QCOMPARE(list.ButtonCount(), 0);
    list.SetItems(Numbered(2));
    list.resize(4, 4);
    QVERIFY(Shown(list));
    QCOMPARE(list.Button(1)->geometry(), QRect(7, 0, 8, 15));
}

void ControlsTest::buttonListPresses_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("allowAllUp");
    QTest::addColumn<int>("calls");       // after pressing button 1 twice
    QTest::addColumn<bool>("lastState");  // AStat of the last call
    QTest::newRow("check: second press of the down button is silent")
        << int(tbsCheck) << false << 1 << true;
    QTest::newRow("check, all up: second press releases it") << int(tbsCheck) << true << 2 << false;
    QTest::newRow("push buttons report every press") << int(tbsButton) << false << 2 << false;
}

void ControlsTest::buttonListPresses() {
    QFETCH(int, style);
    QFETCH(bool, allowAllUp);
    QFETCH(int, calls);
    QFETCH(bool, lastState);
    TButtonList list;
    list.SetStyle(static_cast<TListButtonStyle>(style));
    list.SetAllowAllUp(allowAllUp);
    list.SetItems(Numbered(3));
    list.resize(90, 25);
    QVERIFY(Shown(list));
    QSignalSpy spy(&list, &TButtonList::OnClickButton);
    TTextSpeedButton* b = list.Button(1);
    QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
    QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
    QCOMPARE(spy.count(), calls);
    QCOMPARE(spy.last().at(0).value<QObject*>(), &list);
    QCOMPARE(spy.last().at(1).toInt(), 1);
    QCOMPARE(spy.last().at(2).toBool(), lastState);
    QCOMPARE(list.ItemIndex(), 1);
    // A press on another button of the group releases this one.
    TTextSpeedButton* other = list.Button(2);
    QTest::mouseClick(other, Qt::LeftButton, {}, other->rect().center());
    QCOMPARE(b->Down(), false);
    QCOMPARE(other->Down(), style == tbsCheck);
    QCOMPARE(list.ItemIndex(), 2);
}

void ControlsTest::buttonListRebuildKeepsItemIndex() {
    TButtonList list;
    list.SetItems(Numbered(3));
    QVERIFY(Shown(list));
    list.SetItemIndex(2);
    QVERIFY(list.Button(2)->Down());
    TTextSpeedButton* old = list.Button(0);
    list.SetItems({u"a"_qs, u"b"_qs, u"c"_qs});
    QVERIFY(list.Button(0) != old);
    QCOMPARE(list.Button(0)->Text(), u"a"_qs);
    QCOMPARE(list.Button(0)->Tag(), 0);
    QVERIFY(list.Button(2)->Down());
    QVERIFY(!list.Button(1)->Down());
    // Setting an index is ignored for push buttons.
    list.SetStyle(tbsButton);
    list.SetItemIndex(0);
    QCOMPARE(list.ItemIndex(), 2);
    QVERIFY(!list.Button(0)->Down());
}

int RunControlsTest(int argc, char** argv) {
    ControlsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ControlsTest.moc"
