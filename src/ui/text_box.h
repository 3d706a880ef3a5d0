// Text1: a multi-line text box whose text reads back exactly as it was set.
// QPlainTextEdit splits text into blocks and drops the CR of CR LF, so the box
// keeps the text it was given and hands it back unchanged; once the user edits,
// the text is rebuilt from the document with every line break as CR LF.
#pragma once

#include <QPlainTextEdit>
#include <QString>

namespace pasdraw {

class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    bool editedByUser() const { return edited_; }

private:
    QString exact_;
    bool edited_ = false;
    bool settingText_ = false;
};

}  // namespace pasdraw
