#pragma once

#include <QtWidgets/QLabel>

// A tip line of a dialog whose text starts with "[i]", "[t]", "[w]", "[e]" or "[h]": the
// matching 16 x 16 icon at the top left and the rest of the text, trimmed, word-wrapped
// from x = 22.
class XIconStatic : public QLabel
{
    Q_OBJECT
public:
    explicit XIconStatic(QWidget* parent = nullptr);
    // The icon id of a text's prefix (IDI_INFORMATION, IDI_TIP, IDI_WARNING, IDI_ERROR, IDI_HELP), 0 for none.
    static int IconIdOf(const QString& text);
    QSize sizeHint() const override;
    int heightForWidth(int w) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString Body() const { return text().mid(3).trimmed(); }
};
