#include "ui/program_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QSlider>
#include <QStringEncoder>
#include <string_view>

#include "ui/text_box.h"

namespace pasdraw {

namespace {

// The text box as the document reads and writes it.
class TextBoxBuffer final : public TextBuffer {
public:
    explicit TextBoxBuffer(TextBox* box) : box_(box) {}
    std::string text() const override { return box_->text().toStdString(); }
    void setText(const std::string& text) override {
        box_->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }

private:
    TextBox* box_;
};

}  // namespace

ProgramText::ProgramText(Document& document, TextBox* text, QSlider* sliderX, QSlider* sliderY,
                         QObject* parent)
    : QObject(parent),
      document_(document),
      text_(text),
      sliderX_(sliderX),
      sliderY_(sliderY),
      buffer_(std::make_unique<TextBoxBuffer>(text)),
      appDir_(QCoreApplication::applicationDirPath()),
      onFailure_([](const QString&, bool) { return std::nullopt; }) {
    document_.attachText(buffer_.get());
    document_.subscribe([this](Changes changes) {
        if ((changes & OriginChanged) != 0 && !stepping_) moveSliders();
        if ((changes & (SelectionChanged | TextReplaced | MarksChanged)) != 0)
            markPicked((changes & (SelectionChanged | TextReplaced)) != 0);
    });
    // The user's cursor on a statement picks its shape; the cursor moves the
    // generators make do not, as the box then has no focus.
    connect(text_, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (text_->hasFocus()) document_.selectLine(text_->textCursor().blockNumber() + 1);
    });
    connect(text_, &QPlainTextEdit::textChanged, this, [this] {
        if (pickedMarked_) markPicked(false);
    });
}

void ProgramText::markPicked(bool scroll) {
    const int line = document_.selectedLine();
    if (line == 0 && !pickedMarked_) return;
    pickedMarked_ = line != 0;
    text_->markLine(TextBox::LineMark::Picked, line, scroll);
}

ProgramText::~ProgramText() { document_.attachText(nullptr); }

void ProgramText::moveSliders() {
    // Moving the sliders here must not run their handlers: the text stays in
    // its form and the origin keeps its values even where a slider clamps
    // them (1000 for an empty picture, negative origins).
    const QSignalBlocker blockX(sliderX_);
    const QSignalBlocker blockY(sliderY_);
    // An opened text without an origin leaves XK unset, as at start.
    sliderX_->setValue(document_.XK().value_or(0));
    sliderY_->setValue(document_.YK());
}

void ProgramText::sliderChanged(bool x) {
    stepping_ = true;
    document_.sliderStep(x, x ? sliderX_->value() : sliderY_->value());
    stepping_ = false;
}

QString ProgramText::programFilePath() const {
    QString dir = appDir_;
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    return dir + QStringLiteral("test.pas");
}

namespace {

// The text in UTF-8, or where it cannot be encoded (a lone surrogate from a
// paste) a message naming the place: no character is dropped or replaced.
std::optional<QByteArray> encodeText(const QString& text, QString& problem) {
    QStringEncoder utf8(QStringEncoder::Utf8);
    QByteArray bytes = utf8.encode(text);
    if (!utf8.hasError()) return bytes;
    int line = 1, column = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool paired = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        if (c.isSurrogate() && !paired) break;
        if (paired) ++i;
        if (c == QLatin1Char('\n')) {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    problem = QStringLiteral(
                  "The text holds a broken character at line %1, column %2 that no file "
                  "encoding can store. Delete it and save again.")
                  .arg(line)
                  .arg(column);
    return std::nullopt;
}

// Writes the file and returns an empty string, or the reason it failed. The
// old file is replaced atomically where the folder lets us create the
// temporary file; where it does not but the file itself is writable, the file
// is written in place, as opening it for output would.
QString writeFile(const QString& path, const std::string& bytes) {
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) return file.errorString();
    return {};
}

}  // namespace

bool ProgramText::save() {
    const QString source = QString::fromStdString(document_.sourcePath());
    return saveTo(source.isEmpty() ? programFilePath() : source, false);
}

bool ProgramText::saveAs(const QString& path) { return saveTo(path, true); }

bool ProgramText::saveTo(QString path, bool chosen) {
    QString problem;
    const std::optional<QByteArray> text = encodeText(text_->text(), problem);
    const std::string utf8 = text ? text->toStdString() : std::string();
    const std::string bytes = text ? document_.saveBytes(utf8) : std::string();
    for (;;) {
        if (text) {
            problem = writeFile(path, bytes);
            if (problem.isEmpty()) {
                document_.saved(path.toStdString(), utf8, chosen);
                return true;
            }
            problem = QStringLiteral("The program could not be saved to %1.\n\n%2")
                          .arg(QDir::toNativeSeparators(path), problem);
        }
        const std::optional<QString> elsewhere =
            onFailure_(problem + QStringLiteral("\n\nYour picture and text are unchanged, and any earlier "
                                                "%1 is as it was.")
                                     .arg(QFileInfo(path).fileName()),
                       text.has_value());
        if (!elsewhere || !text) return false;
        path = *elsewhere;
        chosen = true;
    }
}

}  // namespace pasdraw
