// LMIdentifiedView: the container a tab shows: an identifier naming its kind and the controller that runs it.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>

class LMViewController;

class LMIdentifiedView : public QWidget {
    Q_OBJECT
public:
    explicit LMIdentifiedView(const QString &identifier = QString(), QWidget *parent = nullptr);
    ~LMIdentifiedView() override;

    QString identifier() const { return m_identifier; }
    void setIdentifier(const QString &identifier) { m_identifier = identifier; }

    // Non-owning: the object that runs this view (null for the empty background of a new tab).
    LMViewController *controller() const { return m_controller; }
    void setController(LMViewController *controller) { m_controller = controller; }
    // Keeps the controller alive exactly as long as the view, which is how tabs hold their controllers.
    void adoptController(std::unique_ptr<LMViewController> controller);

private:
    QString m_identifier;
    LMViewController *m_controller = nullptr;
    std::unique_ptr<LMViewController> m_ownedController;
};
