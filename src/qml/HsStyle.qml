pragma Singleton

import QtQuick

// The colours and text sizes every screen draws with, named by what they are for, so that a
// shade or a size is changed in one place.
QtObject {
    // Text.
    readonly property color ink: "#222a33"
    readonly property color inkSoft: "#333a42"
    readonly property color inkBody: "#33404d"
    readonly property color inkInput: "#222222"
    readonly property color inkMuted: "#8a94a0"
    readonly property color inkHint: "#8a939e"
    readonly property color inkLabel: "#5f6b78"
    readonly property color inkTabIdle: "#5d6670"
    readonly property color inkIconIdle: "#7b8590"
    readonly property color inkChevron: "#b4bcc6"
    readonly property color placeholder: "#a0a6ad"
    readonly property color loginSubtitle: "#dcebff"

    // Surfaces and lines.
    readonly property color page: "#eef2f7"
    readonly property color panel: "#f7f9fb"
    readonly property color pressed: "#e8eef5"
    readonly property color focused: "#f0f5fb"
    readonly property color separator: "#dfe5ec"
    readonly property color rule: "#e3e8ee"
    readonly property color fieldBorder: "#d5dce4"
    readonly property color toolbarLine: "#c9d1db"
    readonly property color toolbarButtonBorder: "#aab4c0"
    readonly property color formButton: "#b8bec6"

    // Accents and states.
    readonly property color accent: "#1f6fc4"
    readonly property color accentBright: "#2f86e0"
    readonly property color accentDeep: "#1a5fa8"
    readonly property color accentDisabled: "#8fb8e6"
    readonly property color accentBorder: "#0d3f75"
    readonly property color alert: "#e5412d"
    readonly property color danger: "#e0483b"
    readonly property color error: "#c0392b"
    readonly property color success: "#2bb582"

    // Veils over the screen.
    readonly property color dim: "#59000000"
    readonly property color overlay: "#e6222222"
    readonly property color toast: "#e0222222"

    // Text sizes, smallest first.
    readonly property int fontTiny: 11
    readonly property int fontSmall: 12
    readonly property int fontCaption: 13
    readonly property int fontBody: 14
    readonly property int fontText: 15
    readonly property int fontLarge: 16
    readonly property int fontHeading: 18
    readonly property int fontTitle: 19
    readonly property int fontChevron: 24
    readonly property int fontAvatar: 26
    readonly property int fontLogo: 30
}
