#include "swaybindings.h"

#include <QMap>
#include <QRegularExpression>
#include <QStringList>
#include <QVector>

#include <xkbcommon/xkbcommon.h>

#include <algorithm>

namespace {

struct ModifierName
{
    const char* name;
    quint32 bit;
};

// The first name of each bit is the one written.
// clang-format off
const ModifierName ModifierNames[] = {
    {"Mod4", SwayModifier::Mod4},   {"Ctrl", SwayModifier::Control},
    {"Mod1", SwayModifier::Mod1},   {"Shift", SwayModifier::Shift},
    {"Control", SwayModifier::Control}, {"Alt", SwayModifier::Mod1},
    {"Super", SwayModifier::Mod4},  {"Lock", SwayModifier::Lock},
    {"Mod2", SwayModifier::Mod2},   {"Mod3", SwayModifier::Mod3},
    {"Mod5", SwayModifier::Mod5},
};
// clang-format on

QString expandVariables(QString text, const QMap<QString, QString>& variables)
{
    // Longest names first, so that $modifier is not read as $mod followed by "ifier".
    QStringList names = variables.keys();
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    for (const QString& name : qAsConst(names))
        text.replace(name, variables.value(name));
    return text;
}

// The words of a line; a quoted part counts as one word.
QStringList words(const QString& line)
{
    static const QRegularExpression word(QStringLiteral("\"[^\"]*\"|'[^']*'|\\S+"));
    QStringList result;
    auto it = word.globalMatch(line);
    while (it.hasNext())
        result << it.next().captured();
    return result;
}

// The first word that is not a --flag, from `from` on; empty when none.
QString firstArgument(const QStringList& parts, int from)
{
    for (int i = from; i < parts.size(); ++i) {
        if (!parts.at(i).startsWith(QLatin1String("--")))
            return parts.at(i);
    }
    return QString();
}

} // namespace

bool parseSwayCombo(const QString& text, SwayCombo* out)
{
    SwayCombo combo;
    const QStringList parts = text.split(QLatin1Char('+'));
    for (int i = 0; i < parts.size(); ++i) {
        const QString& part = parts.at(i);
        const auto modifier = std::find_if(
            std::begin(ModifierNames), std::end(ModifierNames), [&](const ModifierName& m) {
                return part.compare(QLatin1String(m.name), Qt::CaseInsensitive) == 0;
            });
        if (modifier != std::end(ModifierNames) && i + 1 < parts.size()) {
            combo.modifiers |= modifier->bit;
            continue;
        }
        if (i + 1 < parts.size())
            return false; // only the last part is the key
        const xkb_keysym_t keysym =
            xkb_keysym_from_name(part.toUtf8().constData(), XKB_KEYSYM_CASE_INSENSITIVE);
        if (keysym == XKB_KEY_NoSymbol)
            return false;
        combo.keysym = xkb_keysym_to_lower(keysym);
    }
    *out = combo;
    return combo.keysym != 0;
}

QString swayComboText(const SwayCombo& combo)
{
    QString text;
    for (const ModifierName& modifier : ModifierNames) {
        // Each bit once, under its first name.
        const bool firstName =
            std::find_if(std::begin(ModifierNames), &modifier,
                         [&](const ModifierName& m) { return m.bit == modifier.bit; }) == &modifier;
        if (firstName && (combo.modifiers & modifier.bit))
            text += QLatin1String(modifier.name) + QLatin1Char('+');
    }
    char name[64] = "";
    xkb_keysym_get_name(combo.keysym, name, sizeof name);
    return text + QString::fromUtf8(name);
}

std::set<SwayCombo> configuredSwayCombos(const QString& config)
{
    std::set<SwayCombo> combos;
    QMap<QString, QString> variables;
    QVector<QString> blocks; // "mode", "bindsym" or "other", innermost last
    auto note = [&](const QString& comboText) {
        SwayCombo combo;
        if (parseSwayCombo(expandVariables(comboText, variables), &combo))
            combos.insert(combo);
    };
    for (const QString& raw : config.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line == QLatin1String("}")) {
            if (!blocks.isEmpty())
                blocks.removeLast();
            continue;
        }
        const QStringList parts = words(line);
        const bool inMode = blocks.contains(QStringLiteral("mode"));
        if (!blocks.isEmpty() && blocks.last() == QLatin1String("bindsym")) {
            if (!inMode)
                note(firstArgument(parts, 0));
            continue;
        }
        const QString& command = parts.first();
        if (line.endsWith(QLatin1Char('{'))) {
            const bool mode = command == QLatin1String("mode");
            blocks << (mode                                  ? QStringLiteral("mode")
                       : command == QLatin1String("bindsym") ? QStringLiteral("bindsym")
                                                             : QStringLiteral("other"));
            continue;
        }
        if (command == QLatin1String("set") && parts.size() >= 3)
            variables[parts.at(1)] = parts.mid(2).join(QLatin1Char(' '));
        else if (command == QLatin1String("bindsym") && !inMode)
            note(firstArgument(parts, 1));
    }
    return combos;
}
