// Reading slide text from flat OpenDocument XML and trimming it to a range of slides.
#include "converter/worker/FlatOdpDeck.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kDeck = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:presentation="urn:oasis:names:tc:opendocument:xmlns:presentation:1.0">
<office:body><office:presentation>
<draw:page draw:name="One">
 <draw:frame presentation:class="title"><draw:text-box><text:p>First<text:s text:c="2"/>title</text:p></draw:text-box></draw:frame>
 <draw:g><draw:custom-shape draw:name="Box"><text:p>In a group</text:p></draw:custom-shape></draw:g>
 <presentation:notes><draw:page-thumbnail draw:page-number="1"/>
  <draw:frame presentation:class="notes"><draw:text-box><text:p>Note one</text:p></draw:text-box></draw:frame>
 </presentation:notes>
</draw:page>
<draw:page draw:name="Empty"/>
<draw:page draw:name="Three">
 <draw:frame presentation:class="outline"><draw:text-box><text:list><text:list-item><text:p>Level one</text:p>
  <text:list><text:list-item><text:p>Level<text:tab/>two</text:p></text:list-item></text:list></text:list-item></text:list>
  <text:p>After the list</text:p></draw:text-box></draw:frame>
</draw:page>
</office:presentation></office:body></office:document>
)";

TEST(FlatOdpDeck, ReadsShapesLevelsAndNotesPerSlide)
{
    const QList<DeckSlide> slides = FlatOdpDeck::readSlides(kDeck);
    ASSERT_EQ(slides.size(), 3);
    EXPECT_EQ(slides[0].title(), "First  title");
    ASSERT_EQ(slides[0].shapes.size(), 2);
    EXPECT_EQ(slides[0].shapes[1].paragraphs.value(0).text, "In a group");
    ASSERT_EQ(slides[0].notes.size(), 1);
    EXPECT_EQ(slides[0].notes[0].text, "Note one");
    EXPECT_TRUE(slides[1].shapes.isEmpty());
    EXPECT_EQ(slides[2].number, 3);
    const QList<DeckParagraph> body = slides[2].shapes.value(0).paragraphs;
    ASSERT_EQ(body.size(), 3);
    EXPECT_EQ(body[0].level, 1);
    EXPECT_EQ(body[1].level, 2);
    EXPECT_EQ(body[1].text, "Level\ttwo");
    EXPECT_EQ(body[2].level, 0);
    EXPECT_TRUE(FlatOdpDeck::readSlides("<not xml").isEmpty());
}

TEST(FlatOdpDeck, KeepsOnlyTheSlidesOfTheRange)
{
    // The notes' page thumbnail and the self-closing page are not mistaken for anything else.
    const QList<DeckSlide> middle = FlatOdpDeck::readSlides(FlatOdpDeck::keepSlides(kDeck, 2, 3));
    ASSERT_EQ(middle.size(), 2);
    EXPECT_TRUE(middle[0].shapes.isEmpty());
    EXPECT_EQ(middle[1].shapes.value(0).paragraphs.value(0).text, "Level one");

    const QByteArray first = FlatOdpDeck::keepSlides(kDeck, 1, 1);
    EXPECT_TRUE(first.contains("draw:page-thumbnail"));
    EXPECT_FALSE(first.contains("Level one"));
    EXPECT_TRUE(first.endsWith("</office:document>\n"));
    EXPECT_TRUE(FlatOdpDeck::keepSlides("<office:document/>", 1, 1).isEmpty());
}

} // namespace
