#pragma once
// The property tree of the designer: the library's tree browser with header
// labels that can be renamed.

#include <qttreepropertybrowser.h>

class OperationPropertyBrowser : public QtTreePropertyBrowser
{
    Q_OBJECT

public:
    explicit OperationPropertyBrowser(QWidget* parent = nullptr);

public slots:
    void setHeaderLabels(const QString& prop, const QString& value);
};
