#pragma once
// What the masked field and the numeric field share: a background that follows the focus, a
// caption label the field places itself, highlighting of a label while the field has the focus,
// and the optional marks painted over the field.
#include <QColor>
#include <QFont>
#include <QLineEdit>
#include <QPointer>

#include <QLabel>

enum class EditLabelAlign { elTopLeft, elTopRight, elBottomLeft, elBottomRight, elLeft, elRight, elRelative };

class TMorvekEditBase : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QColor ColorDisabled READ colorDisabled WRITE setColorDisabled)
    Q_PROPERTY(QColor ColorOnEnter READ colorOnEnter WRITE setColorOnEnter)
    Q_PROPERTY(QColor ColorNormal READ colorNormal WRITE setColorNormal)
    Q_PROPERTY(QString UserData READ userData WRITE setUserData)
    Q_PROPERTY(QString EditLabel READ editLabel WRITE setEditLabel)
    Q_PROPERTY(int EditLabelWidth READ editLabelWidth WRITE setEditLabelWidth)
    Q_PROPERTY(int EditLabelLeft READ editLabelLeft WRITE setEditLabelLeft)
    Q_PROPERTY(int EditLabelTop READ editLabelTop WRITE setEditLabelTop)
    Q_PROPERTY(QFont EditLabelFont READ editLabelFont WRITE setEditLabelFont)
    Q_PROPERTY(QColor EditLabelClActive READ editLabelClActive WRITE setEditLabelClActive)
    Q_PROPERTY(bool Commented READ commented WRITE setCommented)
    Q_PROPERTY(bool CommentedTag READ commentedTag WRITE setCommentedTag)
    Q_PROPERTY(int Tag READ fieldNumber WRITE setFieldNumber)

public:
    explicit TMorvekEditBase(QWidget* parent = nullptr);
    ~TMorvekEditBase() override;

    QColor colorDisabled() const { return colorDisabled_; }
    void setColorDisabled(const QColor& c);
    QColor colorOnEnter() const { return colorOnEnter_; }
    void setColorOnEnter(const QColor& c);
    QColor colorNormal() const { return colorNormal_; }
    void setColorNormal(const QColor& c);
    QString userData() const { return userData_; }
    void setUserData(const QString& s) { userData_ = s; }

    // The caption label: created when the caption becomes non-empty, destroyed when it empties.
    QString editLabel() const { return editLabel_; }
    void setEditLabel(const QString& text);
    EditLabelAlign editLabelAlign() const { return align_; }
    void setEditLabelAlign(EditLabelAlign a);
    int editLabelWidth() const { return labelWidth_; }
    void setEditLabelWidth(int w);
    int editLabelLeft() const { return labelLeft_; }
    void setEditLabelLeft(int x);
    int editLabelTop() const { return labelTop_; }
    void setEditLabelTop(int y);
    QFont editLabelFont() const { return labelFont_; }
    void setEditLabelFont(const QFont& f);
    QColor editLabelClActive() const { return labelActive_; }
    void setEditLabelClActive(const QColor& c) { labelActive_ = c; }
    QLabel* label() const { return label_; }

    // When set, that field's label is highlighted on entry instead of our own.
    TMorvekEditBase* linkToControlLabel() const { return link_; }
    void setLinkToControlLabel(TMorvekEditBase* other) { link_ = other; }

    bool commented() const { return commented_; }
    void setCommented(bool on);
    bool commentedTag() const { return commentedTag_; }
    void setCommentedTag(bool on);
    int fieldNumber() const { return fieldNumber_; }
    void setFieldNumber(int n) { fieldNumber_ = n; }

    // Places the label by the alignment rules; runs on every move, resize and label change.
    void layoutLabel();

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    // The text painted after the field number while CommentedTag shows it.
    virtual QString markedText() const { return text(); }
    void applyBackground();

private:
    void syncLabel();

    QColor colorDisabled_, colorOnEnter_, colorNormal_;
    QString userData_;
    QString editLabel_;
    EditLabelAlign align_ = EditLabelAlign::elTopLeft;
    int labelWidth_ = 0, labelLeft_ = 0, labelTop_ = 0;
    QFont labelFont_;
    QColor labelActive_;
    QPointer<QLabel> label_;
    QPointer<TMorvekEditBase> link_;
    QPointer<QLabel> highlighted_;
    QColor savedLabelColor_;
    bool commented_ = false, commentedTag_ = false;
    int fieldNumber_ = 0;
};
