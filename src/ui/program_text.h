// The program text of the window: the text box and the two origin sliders
// bound to the document's text and origin, and "Save", which writes the
// program file. The document makes the text; this part puts it in the box,
// keeps the sliders on the origin and writes the file, so it can be tested on
// bare widgets without the window's layout.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "document/document.h"

class QSlider;

namespace pasdraw {

class TextBox;

class ProgramText : public QObject {
    Q_OBJECT
public:
    ProgramText(Document& document, TextBox* text, QSlider* sliderX, QSlider* sliderY,
                QObject* parent = nullptr);
    ~ProgramText() override;

    // The origin: XK has no value until "Value" or the X slider sets it.
    const std::optional<int32_t>& XK() const { return document_.XK(); }
    int16_t YK() const { return document_.YK(); }

    void generate() { document_.generate(); }  // "Generate"
    void value() { document_.value(); }        // "Value"; the sliders move to the origin
    // A slider moved: that coordinate of the origin changes, the text follows.
    void sliderChanged(bool x);
    // "Save": header, text and trailer in UTF-8 into the work's file, or
    // test.pas until the work has one. When that fails, the failure handler
    // may name another file to try. Returns whether a file was written.
    bool save();
    // "Save as": the same into `path`, which becomes the work's file.
    bool saveAs(const QString& path);
    // The file the last successful save wrote; empty before any.
    QString savedPath() const { return QString::fromStdString(document_.savedPath()); }

    // Where "Save" writes test.pas; the executable's folder unless a test
    // points it elsewhere.
    void setApplicationDirectory(const QString& dir) { appDir_ = dir; }
    QString programFilePath() const;
    // How a failed save reaches the user: given the message, it returns
    // another path to save to ("Save elsewhere"), or nothing to give up. When
    // another place cannot help (the text itself cannot be stored),
    // offerElsewhere is false and the answer is ignored.
    using FailureHandler = std::function<std::optional<QString>(const QString& message, bool offerElsewhere)>;
    void setFailureHandler(FailureHandler handler) { onFailure_ = std::move(handler); }

private:
    void moveSliders();
    bool saveTo(QString path, bool chosen);

    Document& document_;
    TextBox* text_;
    QSlider* sliderX_;
    QSlider* sliderY_;
    std::unique_ptr<TextBuffer> buffer_;
    bool stepping_ = false;      // a slider is moving the origin itself
    bool pickedMarked_ = false;  // the picked shape's line shows in the text
    void markPicked(bool scroll);
    QString appDir_;
    FailureHandler onFailure_;
};

}  // namespace pasdraw
