// The about window: a photo strip and five facts about the maker, opened from
// the console's menu.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QWidget>

namespace vorlak {

// A one-pixel raised box: light top and left edges, dark bottom and right.
class RaisedBevel : public QWidget {
public:
    using QWidget::QWidget;
protected:
    void paintEvent(QPaintEvent* event) override;
};

class TAboutForm : public QWidget {
    Q_OBJECT
public:
    TAboutForm();

    RaisedBevel* Bevel_Foto;
    QLabel* Im_Foto;
    QLabel* La_Name1;
    QLabel* La_Name2;
    QLabel* La_Place1;
    QLabel* La_Place2;
    QLabel* La_Date1;
    QLabel* La_Date2;
    QLabel* La_Occupation1;
    QLabel* La_Occupation2;
    QLabel* La_Hobby1;
    QLabel* La_Hobby2;
};

}  // namespace vorlak
