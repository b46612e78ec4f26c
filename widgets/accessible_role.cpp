// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessible_role.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QWidget>

namespace vortigo {

namespace {

// Kept on the control as a child object, found again by the factory.
class RoleHolder : public QObject {
public:
    RoleHolder(QWidget* control, QAccessible::Role givenRole, std::function<void()> givenPress)
        : QObject(control), role(givenRole), press(std::move(givenPress))
    {
        setObjectName(QStringLiteral("vortigo-accessible-role"));
    }
    const QAccessible::Role role;
    const std::function<void()> press;
};

RoleHolder* holderOf(QObject* object)
{
    for (QObject* child : object->children())
        if (child->objectName() == QLatin1String("vortigo-accessible-role"))
            return static_cast<RoleHolder*>(child);
    return nullptr;
}

class RoleAccessible : public QAccessibleWidget {
public:
    RoleAccessible(QWidget* control, RoleHolder* holder) : QAccessibleWidget(control, holder->role), m_holder(holder) {}

    QString text(QAccessible::Text t) const override
    {
        QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && text.isEmpty())
            if (const auto* label = qobject_cast<const QLabel*>(widget()))
                text = label->text();
        return text;
    }

    // A list's items are the controls it shows.
    int childCount() const override { return role() == QAccessible::List ? static_cast<int>(items().size()) : QAccessibleWidget::childCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (role() != QAccessible::List)
            return QAccessibleWidget::child(index);
        const QList<QWidget*> shown = items();
        return index >= 0 && index < shown.size() ? QAccessible::queryAccessibleInterface(shown[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (role() != QAccessible::List)
            return QAccessibleWidget::indexOfChild(child);
        return child ? static_cast<int>(items().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
    }

    QAccessible::State state() const override
    {
        QAccessible::State st = QAccessibleWidget::state();
        if (role() == QAccessible::Link || role() == QAccessible::Button)
            st.focusable = widget()->focusPolicy() != Qt::NoFocus;
        return st;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (m_holder->press && widget()->isEnabled() && !widget()->isHidden())
            names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && m_holder->press && widget()->isEnabled() && !widget()->isHidden())
            m_holder->press();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    QList<QWidget*> items() const
    {
        QList<QWidget*> shown;
        for (QObject* o : widget()->children())
            if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow() && w->isVisibleTo(widget()))
                shown.append(w);
        return shown;
    }

    RoleHolder* m_holder;
};

QAccessibleInterface* roleFactory(const QString&, QObject* object)
{
    if (!object->isWidgetType())
        return nullptr;
    if (RoleHolder* holder = holderOf(object))
        return new RoleAccessible(static_cast<QWidget*>(object), holder);
    return nullptr;
}

}  // namespace

void setAccessibleRole(QWidget* control, QAccessible::Role role, std::function<void()> press)
{
    static const bool once = [] {
        QAccessible::installFactory(roleFactory);
        return true;
    }();
    (void)once;
    if (RoleHolder* old = holderOf(control))
        delete old;
    new RoleHolder(control, role, std::move(press));
    // Qt makes a control's interface at its first event (a label's text, a
    // tool tip) and keeps it; one made before the role was given is dropped,
    // so the next question gets this one.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(control);
        made != nullptr && dynamic_cast<RoleAccessible*>(made) == nullptr)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void setAccessibleNameIfChanged(QWidget* control, const QString& name)
{
    if (control->accessibleName() != name)
        control->setAccessibleName(name);
}

// News that follow each other closely (the last word found, then the round
// won) go to different notifications: a screen reader reads the name when it
// gets to the event, and one object renamed meanwhile would say the second
// news twice.
constexpr int kNotifications = 3;

QWidget* makeAnnouncer(QWidget* parent)
{
    auto* announcer = new QWidget(parent);
    announcer->setObjectName(QStringLiteral("announcer"));
    announcer->setGeometry(0, 0, 1, 1);
    announcer->setFocusPolicy(Qt::NoFocus);
    announcer->setAttribute(Qt::WA_TransparentForMouseEvents);
    for (int i = 0; i < kNotifications; ++i) {
        auto* news = new QWidget(announcer);
        news->setObjectName(QStringLiteral("news"));
        news->setGeometry(0, 0, 1, 1);
        setAccessibleRole(news, QAccessible::Notification);
        news->hide();
    }
    announcer->lower();
    return announcer;
}

void announce(QWidget* announcer, const QString& text)
{
    // Shown with its news: the bridge reports a notification that became
    // visible, which screen readers speak at once. The one shown last time
    // is hidden, so that only the latest news stands in the window.
    const QList<QWidget*> all = announcer->findChildren<QWidget*>(QStringLiteral("news"), Qt::FindDirectChildrenOnly);
    if (all.isEmpty())
        return;
    const int next = announcer->property("next").toInt() % static_cast<int>(all.size());
    announcer->setProperty("next", next + 1);
    for (QWidget* other : all)
        other->hide();
    QWidget* news = all[next];
    news->setAccessibleName(text);
    news->show();
    QAccessibleEvent alert(news, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

}  // namespace vortigo
