// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's "Tools" > "Language" menu: English, Chinese, or whatever
// the system's locale asks for, remembered for the next start.
#include "Language.h"
#include "demo.h"

#include <QActionGroup>
#include <QMenu>

namespace {

const char kChoiceProperty[] = "vfdLanguage";

} // namespace

void demo::buildLanguageMenu()
{
    language = tools->addMenu(tr("La&nguage"));
    language->setObjectName(QStringLiteral("language"));
    auto* group = new QActionGroup(language);
    group->setExclusive(true);
    const auto add = [this, group](const QString& caption, const QString& choice) {
        QAction* action = language->addAction(caption);
        action->setCheckable(true);
        action->setProperty(kChoiceProperty, choice);
        action->setObjectName(choice.isEmpty() ? QStringLiteral("language_system")
                                               : QStringLiteral("language_") + choice);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, choice] { language_Click(choice); });
    };
    add(tr("Follow the System"), QString());
    language->addSeparator();
    // Each language named in its own words, so a user who cannot read the
    // present one still finds theirs.
    for (const QString& offered : Language::offered())
        add(Language::nativeName(offered), offered);
    setLanguageChoice(m_languageChoice);
}

void demo::setLanguageChoice(const QString& choice)
{
    const std::optional<QString> known = Language::fromName(choice);
    m_languageChoice = known ? *known : QString();
    if (!language)
        return;
    for (QAction* action : language->actions()) {
        if (action->isCheckable())
            action->setChecked(action->property(kChoiceProperty).toString() == m_languageChoice);
    }
}

void demo::language_Click(const QString& choice)
{
    const QString before = m_languageChoice;
    setLanguageChoice(choice);
    if (m_languageChoice == before)
        return;
    emit keptStateChanged();
    // The windows are built in one language: another one comes with the next
    // start. A choice that leaves the language as it is needs no word.
    if (Language::choose(m_languageChoice) == Language::current())
        return;
    m_prompter.show(this,
                    {QMessageBox::Information, tr("Language"),
                     tr("The language changes when vfdtool is started next."), QMessageBox::Ok});
}
