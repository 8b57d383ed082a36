// PlaceholderWindow: the main window until the document window takes its place.
#pragma once

#include <QMainWindow>

class PlaceholderWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit PlaceholderWindow(const QString &documentPath, QWidget *parent = nullptr);
};
