#pragma once

#include <QValidator>

// Lets only whole numbers be typed: an edit stands when the resulting text is empty or reads,
// from start to end, as one integer (white space around it and a leading sign allowed).
// Every other keystroke is refused; nothing is corrected.
class VelquorNumberFormatter : public QValidator
{
    Q_OBJECT
public:
    explicit VelquorNumberFormatter(QObject *parent = nullptr);

    static bool isPartialStringValid(const QString &partialString);

    State validate(QString &input, int &pos) const override;
};
