// The editor's one window. It builds its controls from one table and wires
// them to the document, which owns the work; the handlers keep their given
// names and each is one call into the document or one of the window's parts.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "document/document.h"
#include "ui/controls.h"
#include "ui/work_files.h"

class QFrame;
class QPushButton;
class QSlider;

namespace pasdraw {

class CanvasWidget;
class MoreMenu;
class CaptionMark;
class ColourButton;
class PreviewLink;
class PreviewWindow;
class ProgramText;
class Readout;
class TextBox;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // Twips per logical pixel (control geometry, mouse), from the screen the
    // window starts on.
    float twipsPerLogicalPixelX() const { return scale_.x; }
    float twipsPerLogicalPixelY() const { return scale_.y; }

    Document& document() { return *document_; }
    Picture& picture() { return document_->picture(); }
    RasterSurface& surface() { return document_->surface(); }
    CanvasWidget& canvas() { return *canvas_; }
    ProgramText& programText() { return *programText_; }
    Readout& readout() { return *readout_; }
    MoreMenu& moreMenu() { return *more_; }
    // The program preview, made at the first use.
    PreviewWindow& preview();

    WorkFiles& files() { return *files_; }
    // The caption as the desktop shows it, with its mark of unsaved work.
    const CaptionMark& captionMark() const { return *captionMark_; }

    bool hasUnsavedWork() const { return document_->isModified(); }
    // How closing asks about unsaved work: Save, Discard or Cancel. A message
    // box unless replaced (tests).
    using CloseQuestion = std::function<int()>;
    void setCloseQuestion(CloseQuestion question) { files_->setQuestion(std::move(question)); }
    // Opens a Pascal file (command line, drop, "Open…"); returns whether it did.
    bool openFile(const QString& path) { return files_->open(path); }

    // Controls, by their given names.
    QPushButton* Command1 = nullptr;                 // Line
    QPushButton* Command2 = nullptr;                 // Rectangle
    QPushButton* Command3 = nullptr;                 // Ellipse
    QPushButton* Command4 = nullptr;                 // Circle
    QPushButton* Command5 = nullptr;                 // Undo
    QPushButton* Command6 = nullptr;                 // Fill
    std::array<ColourButton*, 15> paletteButtons{};  // Command7..Command21
    QPushButton* Command22 = nullptr;                // Generate
    QPushButton* Command23 = nullptr;                // Save
    QPushButton* Command24 = nullptr;                // Value
    QPushButton* Command25 = nullptr;                // Text
    QPushButton* previewButton = nullptr;            // opens and closes the program preview
    QPushButton* fromTextButton = nullptr;           // "Picture from text"
    QPushButton* fileButton = nullptr;               // "File": open, save as, restore
    QPushButton* selectButton = nullptr;             // "Select": pick and change drawn shapes
    QPushButton* moreButton = nullptr;               // "More": the later tools and the styles
    TextBox* Text1 = nullptr;
    QSlider* Slider1 = nullptr;
    QSlider* Slider2 = nullptr;
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;

    // Handlers, named after control and event.
    void Command5_Click();   // Undo
    void Command22_Click();  // Generate
    void Command23_Click();  // Save
    void Command24_Click();  // Value
    void Slider1_Change();
    void Slider2_Change();
    void redo();           // Ctrl+Y, Ctrl+Shift+Z
    void togglePreview();  // Ctrl+F9
    void closePreview();
    // "Picture from text" (Ctrl+I): the shapes the text box's program draws
    // become the picture, all or nothing. Returns whether it did.
    bool pictureFromText();

    // How the import asks before replacing shapes (true: replace) and tells
    // why a text cannot become a picture; dialogs unless replaced (tests).
    void setImportDialogs(std::function<bool(const QString&)> askReplace,
                          std::function<void(const QString&)> tellRefused) {
        askReplace_ = std::move(askReplace);
        tellRefused_ = std::move(tellRefused);
    }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectControls();
    void connectKeys();  // form1_keys.cpp
    void selectColour(ColourButton* button);

    TwipsScale scale_;
    std::unique_ptr<Document> document_;
    CanvasWidget* canvas_ = nullptr;
    ProgramText* programText_ = nullptr;
    Readout* readout_ = nullptr;
    MoreMenu* more_ = nullptr;
    PreviewLink* preview_ = nullptr;
    WorkFiles* files_ = nullptr;
    CaptionMark* captionMark_ = nullptr;
    std::function<bool(const QString&)> askReplace_;
    std::function<void(const QString&)> tellRefused_;
};

}  // namespace pasdraw
