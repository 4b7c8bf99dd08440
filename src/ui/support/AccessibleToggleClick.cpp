#include "AccessibleToggleClick.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QKeySequence>
#include <QRadioButton>

namespace {

const char kClickProperty[] = "qvAccessibleToggleClicks";

QString withoutMnemonic(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'&') {
            if (i + 1 < text.size() && text.at(i + 1) == u'&')
                out += text.at(++i);
            continue;
        }
        out += text.at(i);
    }
    return out;
}

// Answers as Qt's own interface of a checkable button does, except that its actions click.
class ClickingToggleAccessible : public QAccessibleWidget
{
public:
    explicit ClickingToggleAccessible(QAbstractButton *b)
        : QAccessibleWidget(b, b->autoExclusive() || qobject_cast<QRadioButton *>(b) ? QAccessible::RadioButton
                                                                                     : QAccessible::CheckBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            const QString name = widget()->accessibleName();
            if (!name.isEmpty())
                return name;
            const QString caption = withoutMnemonic(button()->text());
            if (!caption.isEmpty())
                return caption;
        } else if (t == QAccessible::Accelerator) {
            const QKeySequence key = QKeySequence::mnemonic(button()->text());
            if (!key.isEmpty())
                return key.toString(QKeySequence::NativeText);
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = button()->isChecked();
        if (const auto *box = qobject_cast<const QCheckBox *>(button()))
            s.checkStateMixed = box->checkState() == Qt::PartiallyChecked;
        s.pressed = button()->isDown();
        return s;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (widget()->isEnabled())
            names << toggleAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &actionName) override
    {
        if (actionName == toggleAction() || actionName == pressAction()) {
            if (widget()->isEnabled())
                button()->click();
            return;
        }
        QAccessibleWidget::doAction(actionName);
    }

private:
    QAbstractButton *button() const { return static_cast<QAbstractButton *>(object()); }
};

QAccessibleInterface *clickingToggleFactory(const QString &, QObject *object)
{
    auto *b = qobject_cast<QAbstractButton *>(object);
    if (b && b->property(kClickProperty).toBool())
        return new ClickingToggleAccessible(b);
    return nullptr;
}

} // namespace

void MakeAccessibleToggleClick(QAbstractButton *button)
{
    static const bool installed = [] {
        QAccessible::installFactory(clickingToggleFactory);
        return true;
    }();
    Q_UNUSED(installed);
    button->setProperty(kClickProperty, true);
    // Qt may have made its own interface while the button was built (its caption was set):
    // dropped, so that the next question finds this one.
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(button);
    if (iface && !dynamic_cast<ClickingToggleAccessible *>(iface))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}
