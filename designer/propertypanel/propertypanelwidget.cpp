#include "propertypanelwidget.h"

#include "kliqorapropertybrowser.h"
#include "ui_propertypanelwidget.h"

PropertyPanelWidget::PropertyPanelWidget(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::PropertyPanelWidgetClass>())
{
    ui->setupUi(this);
}

PropertyPanelWidget::~PropertyPanelWidget() = default;

KliqoraPropertyBrowser* PropertyPanelWidget::propertyBrowser() const
{
    return ui->propertyBrowser;
}

QObject* PropertyPanelWidget::currentObject() const
{
    return ui->propertyBrowser->currentObject();
}

void PropertyPanelWidget::showObject(QObject* object)
{
    KliqoraPropertyBrowser* browser = ui->propertyBrowser;
    if (object == browser->currentObject())
        return; // same object: keep the rows and their expansion
    browser->clearProperties();
    if (object)
        browser->loadObject(object);
}
