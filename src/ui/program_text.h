// The program text of the window: the origin XK, YK, "Generate", "Value", the
// sliders' rewrite and "Save". It works on the picture, the text box and the
// two sliders it is given, so it can be tested without the window's layout.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "model/picture.h"

class QSlider;

namespace pasdraw {

class TextBox;

class ProgramText : public QObject {
    Q_OBJECT
public:
    ProgramText(const Picture& picture, TextBox* text, QSlider* sliderX, QSlider* sliderY,
                QObject* parent = nullptr);

    // The origin: XK has no value until "Value" or the X slider sets it.
    const std::optional<int32_t>& XK() const { return XK_; }
    int16_t YK() const { return YK_; }

    void generate();  // "Generate": absolute statements
    void value();     // "Value": origin of the picture, relative statements, sliders moved there
    // Sets the origin and moves the sliders there as "Value" does, without
    // touching the text.
    void setOrigin(int32_t XK, int16_t YK);
    // A slider moved: that coordinate of the origin changes, the text follows.
    void sliderChanged(bool x);
    // "Save": header, text and trailer into test.pas, in UTF-8. When that
    // fails, the failure handler may name another file to try. Returns
    // whether a file was written.
    bool save();
    // The file the last successful save wrote; empty before any.
    const QString& savedPath() const { return savedPath_; }

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

signals:
    void originChanged();
    // Generate, Value or a slider rebuilt the text from the picture.
    void textGenerated();
    void saved(const QString& path);

private:
    const Picture& picture_;
    TextBox* text_;
    QSlider* sliderX_;
    QSlider* sliderY_;
    std::optional<int32_t> XK_;
    int16_t YK_ = 0;
    QString appDir_;
    QString savedPath_;
    FailureHandler onFailure_;
};

}  // namespace pasdraw
