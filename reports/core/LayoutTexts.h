#pragma once

#include <QString>
#include <QStringList>

// What is wrong with a layout file, told below "Ошибка открытия формы отчета
// pp.fr3!" with the line it was found at (texts::atLine). The layout's own
// words (page, band, margins, ...) stay as the file writes them.
namespace kx::reports::texts {

// The file itself
inline QString layoutFileNotFound(const QString &name) { return QStringLiteral("%1: файл не найден").arg(name); }
inline QString layoutFileTooLarge(const QString &name)
{
    return QStringLiteral("%1: файл слишком велик для макета").arg(name);
}
inline QString layoutFileNotUtf8(const QString &name)
{
    return QStringLiteral("%1: файл не в кодировке UTF-8").arg(name);
}
inline QString notALayout()
{
    return QStringLiteral("это не макет отчета Kalyx (первая строка должна быть \"kalyx-report 1\")");
}
inline QString emptyLayout() { return QStringLiteral("это не макет отчета Kalyx (файл пуст)"); }
inline QString unsupportedLayoutVersion() { return QStringLiteral("неподдерживаемая версия макета"); }

// Tokens and statements
inline QString quoteNotClosed() { return QStringLiteral("текст в кавычках не закрыт"); }
inline QString keywordExpected(const QString &found)
{
    return QStringLiteral("ожидалось ключевое слово, а не \"%1\"").arg(found);
}
inline QString extraAfter(const QString &token, const QString &keyword)
{
    return QStringLiteral("лишнее \"%1\" после %2").arg(token, keyword);
}
inline QString closeWithoutOpen() { return QStringLiteral("\"}\" без \"{\""); }
inline QString unknownStatement(const QString &keyword)
{
    return QStringLiteral("неизвестная инструкция %1").arg(keyword);
}
inline QString statementTwice(const QString &keyword) { return QStringLiteral("%1 задан дважды").arg(keyword); }
inline QString noBlockAllowed(const QString &keyword) { return QStringLiteral("у %1 не бывает блока").arg(keyword); }
inline QString noPageStatement() { return QStringLiteral("в макете нет инструкции page"); }

// Attributes
inline QString attributeWithoutValue(const QString &name)
{
    return QStringLiteral("у атрибута %1 нет значения").arg(name);
}
inline QString attributeTwice(const QString &name) { return QStringLiteral("атрибут %1 задан дважды").arg(name); }
inline QString numberExpected(const QString &name, const QString &value)
{
    return QStringLiteral("%1: нужно число, а не \"%2\"").arg(name, value);
}
inline QString valueOutOfRange(const QString &name, const QString &value)
{
    return QStringLiteral("%1 вне допустимых пределов: %2").arg(name, value);
}
inline QString yesOrNoExpected(const QString &name, const QString &value)
{
    return QStringLiteral("%1: нужно yes или no, а не \"%2\"").arg(name, value);
}
inline QString badColour(const QString &value) { return QStringLiteral("неверный цвет \"%1\"").arg(value); }
inline QString badFrameSide(const QString &value)
{
    return QStringLiteral("стороны рамки: left, top, right, bottom, all или none, а не \"%1\"").arg(value);
}
// allowed: every value but the last, which follows "или"
inline QString notOneOf(const QString &name, const QStringList &allowed, const QString &last, const QString &value)
{
    return QStringLiteral("%1: %2 или %3, а не \"%4\"").arg(name, allowed.join(QStringLiteral(", ")), last, value);
}
inline QString fontWithoutName() { return QStringLiteral("у font нет имени шрифта"); }
inline QString fontSizeOutOfRange() { return QStringLiteral("size вне допустимых пределов"); }
inline QString unknownAttribute(const QString &name) { return QStringLiteral("неизвестный атрибут %1").arg(name); }
inline QString unknownAttributeOf(const QString &name, const QString &keyword)
{
    return QStringLiteral("неизвестный атрибут %1 у %2").arg(name, keyword);
}
inline QString unknownStyle(const QString &name) { return QStringLiteral("неизвестный стиль %1").arg(name); }
inline QString notApplicable(const QString &name, const QString &keyword)
{
    return QStringLiteral("%1 не применим к %2").arg(name, keyword);
}
inline QString attributeMissing(const QString &keyword, const QString &name)
{
    return QStringLiteral("у %1 нет %2").arg(keyword, name);
}

// Page, styles, bands and objects
inline QString marginsCount() { return QStringLiteral("margins: одно число или четыре (left, top, right, bottom)"); }
inline QString badMargins(const QString &value) { return QStringLiteral("неверные margins \"%1\"").arg(value); }
inline QString pageWithoutSize() { return QStringLiteral("у page нет width и height"); }
inline QString noRoomToPrint() { return QStringLiteral("поля не оставляют места для печати"); }
inline QString styleWithoutName() { return QStringLiteral("у style нет имени"); }
inline QString styleTwice(const QString &name) { return QStringLiteral("стиль %1 определен дважды").arg(name); }
inline QString bandOnlyOnce(const QString &kind)
{
    return QStringLiteral("полоса %1 может быть только одна").arg(kind);
}
inline QString bandWithoutKind()
{
    return QStringLiteral("у band нет вида: title, page-header, header, data, summary или page-footer");
}
inline QString subReportBandKinds()
{
    return QStringLiteral("во вложенном отчете бывают только полосы header, data и summary");
}
inline QString unknownBandAttribute(const QString &name, const QString &kind)
{
    return QStringLiteral("неизвестный атрибут %1 у полосы %2").arg(name, kind);
}
inline QString dataBandWithoutDataset() { return QStringLiteral("у полосы data нет dataset"); }
inline QString bandNotClosed() { return QStringLiteral("полоса не закрыта \"}\""); }
inline QString unknownObject(const QString &keyword)
{
    return QStringLiteral("неизвестный объект %1 (text, box, line или subreport)").arg(keyword);
}
inline QString boxWithoutText() { return QStringLiteral("у box нет текста; используйте объект text"); }
inline QString subReportWithoutBlock() { return QStringLiteral("у subreport нет блока полос"); }
inline QString subReportNotClosed() { return QStringLiteral("subreport не закрыт \"}\""); }
inline QString onlyBandsInSubReport() { return QStringLiteral("в subreport бывают только полосы"); }
inline QString subReportWithoutBands() { return QStringLiteral("subreport без полос"); }

// Expressions in brackets ("[Sp / 10]"), each quoted as the layout writes it:
// what is wrong, then where.
inline QString inExpression(const QString &what, const QString &expression)
{
    return QStringLiteral("%1 в выражении \"%2\"").arg(what, expression);
}
inline QString quoted(const QString &text) { return u'"' + text + u'"'; }

inline QString expressionTooDeep(const QString &expression, int levels)
{
    return QStringLiteral("выражение \"%1\" вложено глубже %2 уровней").arg(expression, QString::number(levels));
}
inline QString expressionTooLong(const QString &expression, int steps)
{
    return QStringLiteral("выражение \"%1\" длиннее %2 действий").arg(expression, QString::number(steps));
}
inline QString unfinishedExpression(const QString &expression)
{
    return QStringLiteral("незаконченное выражение \"%1\"").arg(expression);
}
inline QString badExpression(const QString &expression)
{
    return QStringLiteral("неверное выражение \"%1\"").arg(expression);
}
inline QString emptyExpression() { return QStringLiteral("пустое выражение"); }
// token, character, name, value: the part of the expression at fault
inline QString extraInExpression(const QString &token, const QString &expression)
{
    return inExpression(QStringLiteral("лишнее ") + quoted(token), expression);
}
inline QString badNumberInExpression(const QString &token, const QString &expression)
{
    return inExpression(QStringLiteral("неверное число ") + quoted(token), expression);
}
inline QString badCharacterInExpression(const QString &character, const QString &expression)
{
    return inExpression(QStringLiteral("недопустимый знак ") + quoted(character), expression);
}
inline QString unknownFunction(const QString &name, const QString &expression)
{
    return inExpression(QStringLiteral("неизвестная функция ") + quoted(name), expression);
}
inline QString unknownName(const QString &name, const QString &expression)
{
    return inExpression(QStringLiteral("неизвестное имя ") + quoted(name), expression);
}
inline QString notANumberInExpression(const QString &value, const QString &expression)
{
    return inExpression(quoted(value) + QStringLiteral(" не число"), expression);
}
inline QString unclosedApostrophe(const QString &e)
{
    return inExpression(QStringLiteral("текст без закрывающего апострофа"), e);
}
inline QString noClosingAngle(const QString &e) { return inExpression(QStringLiteral("нет \">\""), e); }
inline QString noClosingParenthesis(const QString &e) { return inExpression(QStringLiteral("нет \")\""), e); }
inline QString emptyNameInExpression(const QString &e) { return inExpression(QStringLiteral("пустое имя"), e); }
inline QString divisionByZero(const QString &e) { return inExpression(QStringLiteral("деление на ноль"), e); }
inline QString absTakesOneArgument(const QString &e)
{
    return inExpression(QStringLiteral("функция abs принимает один аргумент"), e);
}

// Number formats ("%2.1f")
inline QString formatWithoutDigits(const QString &pattern)
{
    return QStringLiteral("в формате \"%1\" нет места для цифр").arg(pattern);
}
inline QString formatWithTwoConversions(const QString &pattern)
{
    return QStringLiteral("в формате \"%1\" больше одного преобразования").arg(pattern);
}
inline QString unknownConversion(const QString &pattern)
{
    return QStringLiteral("неизвестное преобразование в формате \"%1\"").arg(pattern);
}
inline QString formatWithoutConversion(const QString &pattern)
{
    return QStringLiteral("в формате \"%1\" нет преобразования").arg(pattern);
}

} // namespace kx::reports::texts
