// The shaped-window component: placed on a form, it takes away the form's
// frame and gives it a stored outline, so that the form is drawn and takes the
// mouse only inside it. On the console it stays hidden: it draws nothing and
// takes no press.
#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <optional>
#include <stdexcept>

#include "frontends/qt/shell/mask2.h"

class QIODevice;

namespace vorlak {

// Holds the current outline region. Once the region has been given to the
// window it belongs to the window; the holder keeps it only for writing out.
struct TRegionType {
    std::optional<QRegion> region;
    bool handedToWindow = false;
};

// Raised when the component is put on a widget that is not a window.
class CoolFormError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

class TCoolForm : public QWidget {
    Q_OBJECT
public:
    TCoolForm();
    ~TCoolForm() override;

    // Puts the component on a form (or on nothing). A form loses its frame.
    // Throws CoolFormError ("Drop the CoolForm on a FORM!") for a widget that
    // is not a window, after the component has been put on it.
    void assignParent(QWidget* parent);

    // The component always sits at the form's top left corner.
    int top() const { return y(); }
    int left() const { return x(); }
    int width() const { return QWidget::width(); }
    int height() const { return QWidget::height(); }
    void setTop(int value);
    void setLeft(int value);
    void setWidth(int value);
    void setHeight(int value);

    const QImage& picture() const { return picture_; }
    void setPicture(const QImage& picture);

    const TRegionType& maskHolder() const { return mask_; }

    // The stored outline. Reading applies it to the form at once, so it is in
    // place before the form is first shown; a damaged block leaves the form
    // rectangular.
    void readMask(QIODevice& stream);
    void writeMask(QIODevice& stream) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyOutline();
    void pictureChanged();

    TRegionType mask_;
    QImage picture_;
};

}  // namespace vorlak
