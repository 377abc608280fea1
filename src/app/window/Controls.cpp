#include "Controls.h"

#include "DesignGeometry.h"
#include "FieldEdit.h"
#include "FieldLengthLimit.h"
#include "Fields.h"
#include "SettingsFile.h"

#include <QLabel>
#include <QPushButton>

#include <limits>

namespace tb {

FieldRow createFieldRow(QWidget* parent, int index, const QFont& font)
{
    const FieldDesign design = fieldDesign(index);
    const bool indicator = index == indexOf(Field::ClippingIndicator);
    auto* field = new FieldEdit(parent);
    field->setObjectName(indicator ? QStringLiteral("clippingIndicator")
                                   : QStringLiteral("field%1").arg(index));
    field->setFont(font);
    field->setMaxLength(std::numeric_limits<int>::max());
    // As long as a start reads back.
    field->setValidator(new FieldLengthLimit(SettingsFile::FieldLength, field));
    field->setGeometry(design.field);
    QLabel* caption = createLabel(
        parent, {design.caption, design.captionPlace}, font, Qt::AlignRight,
        indicator ? QStringLiteral("clippingCaption") : QStringLiteral("caption%1").arg(index));
    // The indicator has no label, which a screen reader would read in place
    // of the name that says its state.
    if (!indicator) {
        caption->setBuddy(field);
        field->setAccessibleName(caption->text());
    }
    return {field, caption};
}

QLabel* createLabel(QWidget* parent, const DesignedText& design, const QFont& font,
                    Qt::Alignment align, const QString& name)
{
    auto* label = new QLabel(QString::fromLatin1(design.text), parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setAlignment(align | Qt::AlignTop);
    label->setGeometry(design.place);
    return label;
}

QPushButton* createButton(QWidget* parent, const DesignedText& design, const QString& name)
{
    auto* button = new QPushButton(QString::fromLatin1(design.text), parent);
    button->setObjectName(name);
    button->setGeometry(design.place);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace tb
