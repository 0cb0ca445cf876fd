#include "ebook/epub_style.h"

namespace mirotabe {

// Each property in the forms reader apps know it by: the standard's, and
// the -epub- (EPUB 3.0's) and -webkit- prefixed ones that older engines
// read instead.
const std::string_view kEpubStyleSheet = R"(@charset "UTF-8";
html {
  -epub-writing-mode: vertical-rl;
  -webkit-writing-mode: vertical-rl;
  writing-mode: vertical-rl;
}
body {
  margin: 0;
  padding: 0;
  font-family: serif;
  line-height: 1.75;
  text-align: justify;
  -epub-line-break: strict;
  -webkit-line-break: strict;
  line-break: strict;
}
p, h1, h2, h3, h4 { margin: 0; padding: 0; }
h1, h2, h3, h4 { font-family: sans-serif; font-weight: bold; }
h1.title { font-size: 1.6em; margin-left: 2em; }
p.byline { margin-top: 8em; }
h2 { font-size: 1.5em; margin-left: 1em; margin-right: 1em; }
h3 { font-size: 1.3em; margin-left: 1em; margin-right: 1em; }
h4 { font-size: 1.1em; margin-left: 0.5em; margin-right: 0.5em; }
.bottom { text-align: right; }
.split-bottom { display: flex; justify-content: space-between; }
body.centred .main { display: flex; flex-direction: column; justify-content: center; height: 100%; }
body.colophon, body.notes { font-size: 0.9em; }
rt { font-size: 0.5em; }
.ruby-left, .annotation { -epub-ruby-position: under; -webkit-ruby-position: after; ruby-position: under; }
em { font-style: normal; }
.tcy {
  -epub-text-combine: horizontal;
  -webkit-text-combine: horizontal;
  text-combine-upright: all;
}
.em-sesame { -epub-text-emphasis-style: filled sesame; -webkit-text-emphasis-style: filled sesame; text-emphasis-style: filled sesame; }
.em-white-sesame { -epub-text-emphasis-style: open sesame; -webkit-text-emphasis-style: open sesame; text-emphasis-style: open sesame; }
.em-circle { -epub-text-emphasis-style: filled circle; -webkit-text-emphasis-style: filled circle; text-emphasis-style: filled circle; }
.em-white-circle { -epub-text-emphasis-style: open circle; -webkit-text-emphasis-style: open circle; text-emphasis-style: open circle; }
.em-triangle { -epub-text-emphasis-style: filled triangle; -webkit-text-emphasis-style: filled triangle; text-emphasis-style: filled triangle; }
.em-white-triangle { -epub-text-emphasis-style: open triangle; -webkit-text-emphasis-style: open triangle; text-emphasis-style: open triangle; }
.em-bullseye { -epub-text-emphasis-style: "\25CE"; -webkit-text-emphasis-style: "\25CE"; text-emphasis-style: "\25CE"; }
.em-fisheye { -epub-text-emphasis-style: filled double-circle; -webkit-text-emphasis-style: filled double-circle; text-emphasis-style: filled double-circle; }
.em-saltire { -epub-text-emphasis-style: "\00D7"; -webkit-text-emphasis-style: "\00D7"; text-emphasis-style: "\00D7"; }
.em-sesame-left { -epub-text-emphasis-style: filled sesame; -webkit-text-emphasis-style: filled sesame; text-emphasis-style: filled sesame; }
.em-white-sesame-left { -epub-text-emphasis-style: open sesame; -webkit-text-emphasis-style: open sesame; text-emphasis-style: open sesame; }
.em-circle-left { -epub-text-emphasis-style: filled circle; -webkit-text-emphasis-style: filled circle; text-emphasis-style: filled circle; }
.em-white-circle-left { -epub-text-emphasis-style: open circle; -webkit-text-emphasis-style: open circle; text-emphasis-style: open circle; }
.em-triangle-left { -epub-text-emphasis-style: filled triangle; -webkit-text-emphasis-style: filled triangle; text-emphasis-style: filled triangle; }
.em-white-triangle-left { -epub-text-emphasis-style: open triangle; -webkit-text-emphasis-style: open triangle; text-emphasis-style: open triangle; }
.em-bullseye-left { -epub-text-emphasis-style: "\25CE"; -webkit-text-emphasis-style: "\25CE"; text-emphasis-style: "\25CE"; }
.em-fisheye-left { -epub-text-emphasis-style: filled double-circle; -webkit-text-emphasis-style: filled double-circle; text-emphasis-style: filled double-circle; }
.em-saltire-left { -epub-text-emphasis-style: "\00D7"; -webkit-text-emphasis-style: "\00D7"; text-emphasis-style: "\00D7"; }
[class$="-left"][class^="em-"] { -epub-text-emphasis-position: under left; -webkit-text-emphasis-position: under left; text-emphasis-position: under left; }
.line-solid, .line-double, .line-dotted, .line-dashed, .line-wavy { -webkit-text-decoration-line: overline; text-decoration-line: overline; }
.line-solid-left, .line-double-left, .line-dotted-left, .line-dashed-left, .line-wavy-left { -webkit-text-decoration-line: underline; text-decoration-line: underline; }
.line-solid, .line-solid-left { -webkit-text-decoration-style: solid; text-decoration-style: solid; }
.line-double, .line-double-left { -webkit-text-decoration-style: double; text-decoration-style: double; }
.line-dotted, .line-dotted-left { -webkit-text-decoration-style: dotted; text-decoration-style: dotted; }
.line-dashed, .line-dashed-left { -webkit-text-decoration-style: dashed; text-decoration-style: dashed; }
.line-wavy, .line-wavy-left { -webkit-text-decoration-style: wavy; text-decoration-style: wavy; }
.bold { font-weight: bold; }
.italic { font-style: italic; }
.larger-1 { font-size: 1.2em; }
.larger-2 { font-size: 1.44em; }
.larger-3 { font-size: 1.73em; }
.smaller-1 { font-size: 0.83em; }
.smaller-2 { font-size: 0.69em; }
.smaller-3 { font-size: 0.58em; }
.boxed { border: 1px solid; }
.horizontal { display: inline-block; -epub-writing-mode: horizontal-tb; -webkit-writing-mode: horizontal-tb; writing-mode: horizontal-tb; }
.warichu, .caption, .small-kana { font-size: 0.6em; }
.kaeriten, .okurigana { font-size: 0.5em; }
.heading-1, .heading-2, .heading-3 { font-family: sans-serif; font-weight: bold; }
p.note { text-indent: -1em; margin-top: 1em; }
)";

}  // namespace mirotabe
