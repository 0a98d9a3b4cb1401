import QtQuick

// The news area: the categories of news and their headlines.
HsNewsListArea {}
