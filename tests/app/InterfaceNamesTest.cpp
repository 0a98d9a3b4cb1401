#include <QDirIterator>
#include <QFile>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Every `Type.Value` that the application's interface files name (an enumeration value of one of
// the application's types, or of Qt's), imports and comments left out.
QSet<QString> namedValues()
{
    static const QRegularExpression skipped(QStringLiteral("//[^\n]*|^import [^\n]*"),
                                            QRegularExpression::MultilineOption);
    static const QRegularExpression named(QStringLiteral(R"(\b[A-Z]\w*\.[A-Z]\w*\b)"));
    QSet<QString> names;
    QDirIterator files(QStringLiteral(":/HsSchool"), {QStringLiteral("*.qml")});
    while (files.hasNext()) {
        QFile file(files.next());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        const QString text = QString::fromUtf8(file.readAll()).remove(skipped);
        for (const QRegularExpressionMatch &match : named.globalMatch(text))
            names.insert(match.captured());
    }
    return names;
}

} // namespace

// The linter lets a misspelled enumeration value through, and the interface file then compares
// with undefined; every value named must exist, with the imports the interface files use.
TEST(InterfaceNamesTest, EveryEnumerationValueAnInterfaceFileNamesExists)
{
    const QSet<QString> names = namedValues();
    ASSERT_FALSE(names.isEmpty());
    QQmlEngine engine;
    for (const QString &name : names) {
        QQmlComponent component(&engine);
        component.setData(QStringLiteral("import QtQuick\nimport QtQuick.Controls.Basic\nimport HsSchool\n"
                                         "QtObject { readonly property var value: %1 }")
                              .arg(name)
                              .toUtf8(),
                          QUrl(QStringLiteral("qrc:/HsSchool/NamedValue.qml")));
        const std::unique_ptr<QObject> object(component.create());
        ASSERT_NE(object, nullptr) << name.toStdString() << ": " << component.errorString().toStdString();
        EXPECT_TRUE(object->property("value").isValid()) << name.toStdString();
    }
}
