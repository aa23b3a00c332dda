#pragma once

#include <QStringList>
#include <QWidget>
#include <vector>

enum TButtonAlign { baHorizontal, baVertical };
enum TCaptionAlign { caTop, caBottom, caLeft, caRight };
enum TListButtonStyle { tbsButton, tbsCheck };

// A speed button that draws its own text, rotated to face one side. Buttons of one parent
// sharing a GroupIndex above 0 form a group in which at most one is down.
class TTextSpeedButton : public QWidget {
    Q_OBJECT
public:
    explicit TTextSpeedButton(QWidget* parent = nullptr);

    const QString& Text() const { return FText; }
    void SetText(const QString& text);
    TCaptionAlign Rotation() const { return FRotation; }
    void SetRotation(TCaptionAlign rotation);
    bool Flat() const { return FFlat; }
    void SetFlat(bool flat);
    int GroupIndex() const { return FGroupIndex; }
    // Leaving a group (index 0) releases the button.
    void SetGroupIndex(int index);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool allow) { FAllowAllUp = allow; }
    // Down in its group; pressing one button down releases the others of its group.
    bool Down() const { return FDown; }
    void SetDown(bool down);
    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }

    // The start point of the text and its clockwise angle on screen, for the current size.
    QPoint TextOrigin(int& angle) const;

Q_SIGNALS:
    // Released over the button after a press on it; Down already holds the new state.
    void OnClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool ShownDown() const { return FDown || FPressed; }

    QString FText;
    TCaptionAlign FRotation = caTop;
    bool FFlat = false;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    bool FDown = false;
    int FTag = 0;
    bool FPressed = false;  // the mouse holds it down
    bool FTracking = false;
    bool FHover = false;
};

// One button per line of Items, side by side or stacked, sharing the area evenly; a press is
// reported with the button's index.
class TButtonList : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMinSize = 15;
    static constexpr int kGroup = 10;

    explicit TButtonList(QWidget* parent = nullptr);

    const QStringList& Items() const { return FItems; }
    // Any change rebuilds every button.
    void SetItems(const QStringList& items);
    TButtonAlign ButtonAlign() const { return FButtonAlign; }
    void SetButtonAlign(TButtonAlign align);
    TCaptionAlign ItemAlign() const { return FItemAlign; }
    void SetItemAlign(TCaptionAlign align);
    TListButtonStyle Style() const { return FStyle; }
    void SetStyle(TListButtonStyle style);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool allow);
    bool Flat() const { return FFlat; }
    void SetFlat(bool flat);
    int ItemIndex() const { return FItemIndex; }
    // Only in tbsCheck: puts that button down (and, with AllowAllUp, the old one up).
    void SetItemIndex(int index);

    int ButtonCount() const { return static_cast<int>(FButtons.size()); }
    TTextSpeedButton* Button(int index) const { return FButtons.at(static_cast<size_t>(index)); }

Q_SIGNALS:
    void OnClickButton(QObject* Sender, int id, bool AStat);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Rebuild();
    void LayoutButtons();
    void ButtonPressed(TTextSpeedButton* button);

    QStringList FItems;
    TButtonAlign FButtonAlign = baHorizontal;
    TCaptionAlign FItemAlign = caTop;
    TListButtonStyle FStyle = tbsCheck;
    bool FAllowAllUp = false;
    bool FFlat = false;
    int FItemIndex = -1;
    bool FLastDown = false;  // the down state reported with the last press
    std::vector<TTextSpeedButton*> FButtons;
};
