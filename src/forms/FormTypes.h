#pragma once
// The registry of the form types: one entry per editor class, found by type code or class
// name without regard to case.
#include <QList>
#include <QString>

enum class FormRole { Declaration, Attachment, SpouseVariant };

struct FormType {
    QString className;   // TfrmPit_37
    QString title;       // title printed on the form
    FormRole role = FormRole::Declaration;
    QString baseClass;   // spouse variants: the class whose layout they show
    int taxOfficeCodeField = 0; // tax office picker: code and name fields (0 when none)
    int taxOfficeNameField = 0;
    int oppField = 0;           // public-benefit organisation picker (KRS number field)

    QString typeCode() const;   // TFRMPIT_37
    QString windowName() const; // FRMPIT_37: base of rule, import, XML template names
    QString layoutName() const; // frmPit_37 (the base form's for spouse variants)
    QString displayName() const;   // PIT-37
    QString editorCaption() const; // Formularz PIT-37
    bool isAttachment() const { return role != FormRole::Declaration; }
};

const QList<FormType>& AllFormTypes();
// By type code or class name, without regard to case; nullptr when unknown.
const FormType* FindFormType(const QString& name);

// TFRMPIT_37 -> PIT-37: the first "_" becomes "-", the text from the fifth character on.
QString FormDisplayName(const QString& typeCode);
// The ten spouse variants of attachments get their own captions ("PIT-BM" -> "PIT-B(Małżonek)").
QString FormTypeCaption(const QString& text);
// "Formularz " + the layout name from the fourth character on, first "_" -> "-", upper case.
QString EditorCaption(const QString& layoutName);
