#pragma once

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

// Pieces the player windows lay out alike.

// A push button that tests find by `name` and that Enter in a text field
// never presses.
inline QPushButton* AddNamedButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// `content` in a group box titled `title`.
inline QGroupBox* FramedGroup(const QString& title, QWidget* content, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}
