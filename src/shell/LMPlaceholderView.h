// LMPlaceholderView: a labelled stand-in for views whose editors arrive later; it follows the view protocol.
#pragma once

#include "LMViewController.h"

#include <QPointer>
#include <QString>

#include "LMIdentifiedView.h"

class QLabel;

class LMPlaceholderView : public LMViewController {
public:
    // `title` is what the view is ("Table Design"), `subject` what it shows ("People").
    LMPlaceholderView(const QString &identifier, const QString &title, const QString &subject);
    ~LMPlaceholderView() override;

    QString identifier() const override { return m_identifier; }
    LMIdentifiedView *view() override;
    void refresh() override;
    void itemDidRename(ItemKind kind, const QString &oldName, const QString &newName) override;

    QString text() const;
    int refreshCount() const { return m_refreshes; }

private:
    QString m_identifier;
    QString m_title;
    QString m_subject;
    QPointer<LMIdentifiedView> m_view;
    QLabel *m_label = nullptr;
    int m_refreshes = 0;
};
