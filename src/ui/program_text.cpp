#include "ui/program_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QSlider>
#include <string_view>

#include "codegen/codegen.h"
#include "ui/text_box.h"

namespace pasdraw {

namespace {

QString fromAscii(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

ProgramText::ProgramText(const Picture& picture, TextBox* text, QSlider* sliderX, QSlider* sliderY,
                         QObject* parent)
    : QObject(parent),
      picture_(picture),
      text_(text),
      sliderX_(sliderX),
      sliderY_(sliderY),
      appDir_(QCoreApplication::applicationDirPath()),
      reportError_([](const QString&) {}) {}

void ProgramText::generate() { text_->setText(fromAscii(generateAbsolute(picture_))); }

void ProgramText::value() {
    const Origin origin = computeOrigin(picture_);
    XK_ = origin.XK;
    YK_ = origin.YK;
    text_->setText(fromAscii(generateValueForm(picture_, origin)));
    // Moving the sliders here must not run their handlers: the text stays in
    // this form and the origin keeps its computed values even where a slider
    // clamps them (1000 for an empty picture, negative origins).
    const QSignalBlocker blockX(sliderX_);
    const QSignalBlocker blockY(sliderY_);
    sliderX_->setValue(origin.XK);
    sliderY_->setValue(origin.YK);
}

void ProgramText::sliderChanged(bool x) {
    if (x) {
        XK_ = sliderX_->value();
    } else {
        YK_ = static_cast<int16_t>(sliderY_->value());  // 0..480 fits
    }
    text_->setText(fromAscii(generateSliderForm(picture_, XK_, YK_)));
}

QString ProgramText::programFilePath() const {
    QString dir = appDir_;
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    return dir + QStringLiteral("test.pas");
}

bool ProgramText::save() {
    const QString path = programFilePath();
    const QByteArray text = text_->text().toLocal8Bit();
    const std::string bytes =
        programFileBytes(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    // QSaveFile writes a temporary file and renames it over the old one, so a
    // failure never leaves a truncated test.pas behind.
    QSaveFile file(path);
    const auto fail = [&](const QString& reason) {
        reportError_(
            QStringLiteral("The program could not be saved to %1.\n\n%2\n\nYour picture and text are "
                           "unchanged, and any earlier test.pas is as it was.")
                .arg(QDir::toNativeSeparators(path), reason));
        return false;
    };
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit()) return fail(file.errorString());
    return true;
}

}  // namespace pasdraw
