#include "ui/form1.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFrame>
#include <QKeySequence>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <cmath>

#include "model/numeric.h"
#include "model/palette.h"
#include "program/picture_import.h"
#include "ui/canvas_widget.h"
#include "ui/colour_button.h"
#include "ui/preview_window.h"
#include "ui/program_text.h"
#include "ui/readout.h"
#include "ui/text_box.h"

namespace pasdraw {

namespace {

enum class ControlType { Button, Colour, Text, Slider };

// One row per control, in tab order. Rectangles in twips of the client area.
struct ControlRow {
    const char* name;
    ControlType type;
    const char* caption;  // buttons; a slider's row gives its maximum instead
    int left, top, width, height;
    int maximum = 0;
};

constexpr ControlRow Controls[] = {
    {"Command1", ControlType::Button, "Line", 6480, 120, 1575, 255},
    {"Text1", ControlType::Text, nullptr, 120, 4920, 6135, 2895},
    {"Command2", ControlType::Button, "Rectangle", 6480, 480, 1575, 255},
    {"Command3", ControlType::Button, "Ellipse", 6480, 840, 1575, 255},
    {"Command4", ControlType::Button, "Circle", 6480, 1200, 1575, 255},
    {"Command5", ControlType::Button, "Undo", 6480, 2280, 1575, 255},
    // The palette column, in the order of the palette table.
    {"Command7", ControlType::Colour, nullptr, 8280, 120, 1215, 255},
    {"Command8", ControlType::Colour, nullptr, 8280, 480, 1215, 255},
    {"Command9", ControlType::Colour, nullptr, 8280, 840, 1215, 255},
    {"Command10", ControlType::Colour, nullptr, 8280, 1200, 1215, 255},
    {"Command11", ControlType::Colour, nullptr, 8280, 1560, 1215, 255},
    {"Command12", ControlType::Colour, nullptr, 8280, 1920, 1215, 255},
    {"Command13", ControlType::Colour, nullptr, 8280, 2280, 1215, 255},
    {"Command14", ControlType::Colour, nullptr, 8280, 2640, 1215, 255},
    {"Command15", ControlType::Colour, nullptr, 8280, 3000, 1215, 255},
    {"Command16", ControlType::Colour, nullptr, 8280, 3360, 1215, 255},
    {"Command17", ControlType::Colour, nullptr, 8280, 3720, 1215, 255},
    {"Command18", ControlType::Colour, nullptr, 8280, 4080, 1215, 255},
    {"Command19", ControlType::Colour, nullptr, 8280, 4440, 1215, 255},
    {"Command20", ControlType::Colour, nullptr, 8280, 4800, 1215, 255},
    {"Command21", ControlType::Colour, nullptr, 8280, 5160, 1215, 255},
    {"Command22", ControlType::Button, "Generate", 8280, 6240, 1215, 255},
    {"Command6", ControlType::Button, "Fill", 6480, 1560, 1575, 315},
    {"Command23", ControlType::Button, "Save", 8280, 6600, 1215, 255},
    {"Command24", ControlType::Button, "Value", 8280, 5880, 1215, 255},
    {"Slider1", ControlType::Slider, nullptr, 6480, 7080, 2895, 255, 640},
    {"Slider2", ControlType::Slider, nullptr, 6480, 7560, 2895, 255, 480},
    {"Command25", ControlType::Button, "Text", 6480, 1920, 1575, 255},
    // Added to the layout in its free area, below the readout.
    {"previewButton", ControlType::Button, "Preview", 6480, 6240, 1575, 255},
    {"fromTextButton", ControlType::Button, "Picture from text", 6480, 6600, 1575, 255},
};

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("pasdraw"));
    twipsPerLogicalX_ = 1440.0f / static_cast<float>(logicalDpiX());
    twipsPerLogicalY_ = 1440.0f / static_cast<float>(logicalDpiY());

    // Rounded like the canvas image, so at 1:1 the image covers the client area exactly.
    setFixedSize(QSize(twipsToPixel(static_cast<float>(ClientWidthTwips), twipsPerLogicalX_),
                       twipsToPixel(static_cast<float>(ClientHeightTwips), twipsPerLogicalY_)));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    QFont f = font();
    f.setPixelSize(std::max(9, static_cast<int>(std::lround(165.0f / twipsPerLogicalY_))));
    setFont(f);

    // The canvas is made first, so every control lies above it.
    canvas_ = new CanvasWidget(picture_, twipsPerLogicalX_, twipsPerLogicalY_, this);
    canvas_->setGeometry(rect());

    buildControls();
    programText_ = new ProgramText(picture_, Text1, Slider1, Slider2, this);
    programText_->setFailureHandler(
        [this](const QString& message, bool offerElsewhere) { return saveFailed(message, offerElsewhere); });
    askBeforeClosing_ = [this] {
        return static_cast<int>(QMessageBox::question(
            this, QStringLiteral("pasdraw"),
            QStringLiteral("The picture or the program text has changed since it was last saved. "
                           "Save the program before closing?"),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save));
    };
    askReplace_ = [this](const QString& question) {
        return QMessageBox::question(this, QStringLiteral("pasdraw"), question,
                                     QMessageBox::Yes | QMessageBox::Cancel,
                                     QMessageBox::Cancel) == QMessageBox::Yes;
    };
    tellRefused_ = [this](const QString& message) {
        QMessageBox::information(this, QStringLiteral("pasdraw"), message);
    };
    connectControls();
    canvas_->editor().Form_Load();
    showPictureState();
}

Form1::~Form1() = default;

RasterSurface& Form1::surface() { return canvas_->surface(); }

QRect Form1::twipsRect(int left, int top, int width, int height) const {
    const auto px = [](int twips, float per) {
        return static_cast<int>(std::lround(static_cast<float>(twips) / per));
    };
    return {px(left, twipsPerLogicalX_), px(top, twipsPerLogicalY_), px(width, twipsPerLogicalX_),
            px(height, twipsPerLogicalY_)};
}

void Form1::buildControls() {
    std::size_t colour = 0;
    QWidget* previous = nullptr;
    for (const ControlRow& row : Controls) {
        QWidget* w = nullptr;
        switch (row.type) {
            case ControlType::Button: {
                auto* b = new QPushButton(QString::fromLatin1(row.caption), this);
                b->setAutoDefault(false);
                w = b;
                break;
            }
            case ControlType::Colour: {
                const PaletteEntry& entry = Palette.at(colour);
                auto* b = new ColourButton(entry.index, entry.rgb, this);
                b->setAutoDefault(false);
                b->setToolTip(QString::fromLatin1(entry.name));
                paletteButtons.at(colour++) = b;
                w = b;
                break;
            }
            case ControlType::Text: {
                Text1 = new TextBox(this);
                Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
                // Program text reads best one statement to a line, so no wrapping.
                Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
                QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
                mono.setPixelSize(std::max(9, static_cast<int>(std::lround(180.0f / twipsPerLogicalY_))));
                Text1->setFont(mono);
                w = Text1;
                break;
            }
            case ControlType::Slider: {
                auto* s = new QSlider(Qt::Horizontal, this);
                s->setRange(0, row.maximum);
                s->setSingleStep(1);
                s->setPageStep(5);
                s->setValue(0);
                w = s;
                break;
            }
        }
        w->setObjectName(QString::fromLatin1(row.name));
        w->setGeometry(twipsRect(row.left, row.top, row.width, row.height));
        if (previous != nullptr) QWidget::setTabOrder(previous, w);
        previous = w;
    }
    const auto button = [this](const char* name) {
        return findChild<QPushButton*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
    };
    Command1 = button("Command1");
    Command2 = button("Command2");
    Command3 = button("Command3");
    Command4 = button("Command4");
    Command5 = button("Command5");
    Command6 = button("Command6");
    Command22 = button("Command22");
    Command23 = button("Command23");
    Command24 = button("Command24");
    Command25 = button("Command25");
    previewButton = button("previewButton");
    fromTextButton = button("fromTextButton");
    Slider1 = findChild<QSlider*>(QStringLiteral("Slider1"), Qt::FindDirectChildrenOnly);
    Slider2 = findChild<QSlider*>(QStringLiteral("Slider2"), Qt::FindDirectChildrenOnly);

    // The two grey lines framing the palette column, one pixel wide, from the
    // corner at (8160, 5520) twips up to y = 120 and right to x = 9600.
    const auto makeLine = [this](const char* name, QRect r) {
        auto* l = new QFrame(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(r);
        QPalette linePalette = l->palette();
        linePalette.setColor(QPalette::Window, QColor(128, 128, 128));
        l->setPalette(linePalette);
        l->setAutoFillBackground(true);
        return l;
    };
    const QRect corner = twipsRect(8160, 5520, 0, 0);
    const int top = twipsRect(0, 120, 0, 0).y();
    const int right = twipsRect(9600, 0, 0, 0).x();
    Line1 = makeLine("Line1", QRect(corner.x(), top, 1, corner.y() - top + 1));
    Line2 = makeLine("Line2", QRect(corner.x(), corner.y(), right - corner.x() + 1, 1));

    // The readout fills the free black area under the tool buttons.
    readout_ = new Readout(this);
    QFont small = font();
    small.setPixelSize(std::max(8, static_cast<int>(std::lround(150.0f / twipsPerLogicalY_))));
    readout_->setFont(small);
    readout_->setGeometry(twipsRect(6480, 2640, 1575, 3480));

    // The preview window is made when it is first opened: most sessions never
    // open it, and the window should start as fast as it can.
}

void Form1::connectControls() {
    // The chosen tool shows as pressed.
    auto* tools = new QButtonGroup(this);
    tools->setExclusive(true);
    const std::pair<QPushButton*, Kind> toolButtons[] = {{Command1, Kind::Line},
                                                         {Command2, Kind::Rectangle},
                                                         {Command3, Kind::Ellipse},
                                                         {Command4, Kind::Circle},
                                                         {Command6, Kind::Fill}};
    for (const auto& [b, kind] : toolButtons) {
        b->setCheckable(true);
        tools->addButton(b);
        const auto tool = static_cast<int16_t>(kind);
        connect(b, &QPushButton::clicked, this, [this, tool] { canvas_->editor().selectTool(tool); });
    }
    for (ColourButton* b : paletteButtons) {
        connect(b, &QPushButton::clicked, this, [this, b] { selectColour(b); });
    }

    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command22, &QPushButton::clicked, this, &Form1::Command22_Click);
    connect(Command23, &QPushButton::clicked, this, &Form1::Command23_Click);
    connect(Command24, &QPushButton::clicked, this, &Form1::Command24_Click);
    // Command25 "Text" has no action.
    connect(Slider1, &QSlider::valueChanged, this, &Form1::Slider1_Change);
    connect(Slider2, &QSlider::valueChanged, this, &Form1::Slider2_Change);

    connect(canvas_, &CanvasWidget::pictureChanged, this, &Form1::pictureChanged);
    connect(canvas_, &CanvasWidget::pointerMoved, this, [this](float x, float y) {
        const bool over = !Editor::outsideCanvas(x, y) && x >= 0.0f && y >= 0.0f;
        readout_->setPointer(over ? std::optional(std::pair(x, y)) : std::nullopt);
        readout_->setDrag(canvas_->editor().pendingRecord(x, y));
    });
    connect(canvas_, &CanvasWidget::pointerLeft, this, [this] { readout_->setPointer(std::nullopt); });
    connect(canvas_, &CanvasWidget::dragEnded, this, [this] { readout_->setDrag(std::nullopt); });
    connect(programText_, &ProgramText::originChanged, this, [this] {
        readout_->setOrigin(programText_->XK(), programText_->YK());
        showPictureState();
    });
    connect(programText_, &ProgramText::textGenerated, this, &Form1::textGenerated);
    connect(programText_, &ProgramText::saved, this, &Form1::saved);
    for (QPushButton* b : {Command1, Command2, Command3, Command4, Command6}) {
        connect(b, &QPushButton::clicked, this, &Form1::showPictureState);
    }

    // Shortcuts; inside the text box its own editing keys take precedence.
    connect(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, this, &Form1::Command5_Click);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), this), &QShortcut::activated, this,
            &Form1::Command22_Click);
    connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this, &Form1::Command23_Click);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &Form1::redo);
    }
    auto* previewKey = new QShortcut(QKeySequence(Qt::Key_F9 | Qt::CTRL), this);
    previewKey->setContext(Qt::ApplicationShortcut);  // also from the preview window itself
    connect(previewKey, &QShortcut::activated, this, &Form1::togglePreview);
    previewButton->setCheckable(true);
    previewButton->setToolTip(QStringLiteral("Show what the saved program draws (Ctrl+F9)"));
    connect(previewButton, &QPushButton::clicked, this, &Form1::togglePreview);
    connect(Text1, &QPlainTextEdit::textChanged, this, [this] {
        if (preview_ != nullptr && preview_->isVisible()) preview_->showText(Text1->text());
    });
    fromTextButton->setToolTip(
        QStringLiteral("Make the picture the shapes the text box's statements draw (Ctrl+I)"));
    connect(fromTextButton, &QPushButton::clicked, this, &Form1::pictureFromText);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_I), this), &QShortcut::activated, this,
            &Form1::pictureFromText);
    Command5->setToolTip(
        QStringLiteral("Undo the newest shape of the chosen tool (Ctrl+Z); Ctrl+Y brings it back"));

    selectColour(paletteButtons[0]);
}

void Form1::selectColour(ColourButton* button) {
    canvas_->editor().selectColour(button->colorIndex(), button->BackColor());
    for (ColourButton* b : paletteButtons) b->setCurrent(b == button);
}

void Form1::Command5_Click() { canvas_->undo(); }
void Form1::redo() { canvas_->redo(); }

bool Form1::pictureFromText() {
    const QByteArray text = Text1->text().toUtf8();
    const PictureImport result =
        importPicture(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    if (!result.picture) {
        QString message = QStringLiteral("The text cannot become a picture; nothing was changed.\n");
        constexpr std::size_t shown = 20;
        for (std::size_t i = 0; i < result.problems.size() && i < shown; ++i) {
            const ImportProblem& p = result.problems[i];
            message += QStringLiteral("\nline %1, column %2: %3")
                           .arg(p.line)
                           .arg(p.column)
                           .arg(QString::fromStdString(p.message));
        }
        if (result.problems.size() > shown) {
            message += QStringLiteral("\n\n%1 more problems.").arg(result.problems.size() - shown);
        }
        tellRefused_(message);
        return false;
    }
    const auto total = [](const Picture& p) {
        int n = 0;
        for (const KindInfo& k : Kinds) n += p.count(k.kind);
        return n;
    };
    if (!picture_.empty() &&
        !askReplace_(QStringLiteral("Replace the picture's %1 shapes with the %2 shapes the text draws?")
                         .arg(total(picture_))
                         .arg(total(*result.picture)))) {
        return false;
    }
    picture_.replaceShapes(*result.picture);
    if (result.assignedOrigin) programText_->setOrigin(result.XK, result.YK);
    canvas_->repaintFromModel();
    // The text is the one the picture came from.
    textGenerated();
    return true;
}

PreviewWindow& Form1::preview() {
    if (preview_ == nullptr) {
        preview_ = new PreviewWindow(this);
        connect(preview_, &PreviewWindow::visibilityChanged, this, [this](bool visible) {
            previewButton->setChecked(visible);
            if (visible) {
                preview_->showText(Text1->text());
            } else {
                Text1->markLines({});
            }
        });
        connect(preview_, &PreviewWindow::shown, this,
                [this] { Text1->markLines(preview_->problemLines()); });
    }
    return *preview_;
}

void Form1::closePreview() {
    if (preview_ != nullptr) preview_->close();
}

void Form1::togglePreview() {
    preview();
    if (preview_->isVisible()) {
        closePreview();
        return;
    }
    if (!previewPlaced_) {
        // The first time beside the editor, where it covers nothing of it.
        preview_->move(frameGeometry().topRight() + QPoint(8, 0));
        previewPlaced_ = true;
    }
    preview_->show();
    preview_->raise();
}
void Form1::Command22_Click() { programText_->generate(); }
void Form1::Command23_Click() { programText_->save(); }
void Form1::Command24_Click() { programText_->value(); }
void Form1::Slider1_Change() { programText_->sliderChanged(true); }
void Form1::Slider2_Change() { programText_->sliderChanged(false); }

void Form1::showPictureState() { readout_->showPicture(picture_); }

void Form1::pictureChanged() {
    ++pictureVersion_;
    readout_->setTextStale(pictureVersion_ != generatedVersion_);
    showPictureState();
}

void Form1::textGenerated() {
    generatedVersion_ = pictureVersion_;
    readout_->setTextStale(false);
}

void Form1::saved() {
    savedVersion_ = pictureVersion_;
    savedText_ = Text1->text();
    readout_->setSaved(programText_->savedPath());
}

bool Form1::hasUnsavedWork() {
    if (!savedVersion_) return !picture_.empty() || !Text1->text().isEmpty();
    return *savedVersion_ != pictureVersion_ || Text1->text() != savedText_;
}

void Form1::closeEvent(QCloseEvent* event) {
    if (!hasUnsavedWork()) {
        event->accept();
        closePreview();
        return;
    }
    switch (askBeforeClosing_()) {
        case QMessageBox::Save:
            // A failed save has said why; the window stays open with the work.
            if (programText_->save()) {
                event->accept();
                closePreview();
            } else {
                event->ignore();
            }
            return;
        case QMessageBox::Discard:
            event->accept();
            closePreview();
            return;
        default: event->ignore(); return;
    }
}

std::optional<QString> Form1::saveFailed(const QString& message, bool offerElsewhere) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("pasdraw"), message, QMessageBox::NoButton, this);
    QPushButton* elsewhere = nullptr;
    if (offerElsewhere) {
        elsewhere = box.addButton(QStringLiteral("Save elsewhere\u2026"), QMessageBox::AcceptRole);
        box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(elsewhere);
    } else {
        box.addButton(QMessageBox::Ok);
    }
    box.exec();
    if (elsewhere == nullptr || box.clickedButton() != elsewhere) return std::nullopt;
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save the program elsewhere"), QDir::home().filePath(QStringLiteral("test.pas")),
        QStringLiteral("Pascal programs (*.pas);;All files (*)"));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

}  // namespace pasdraw
