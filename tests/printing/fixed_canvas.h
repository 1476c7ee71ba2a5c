#pragma once
#include <algorithm>
#include <string>
#include <vector>

#include "core/pool/bracket.h"
#include "core/printing/page_canvas.h"

// The team table the printing tests draw from.
inline TeamTable& teams()
{
    static TeamTable teams;
    return teams;
}

inline void setTeam(int p, int s, const std::string& name, const std::string& wins = "", const std::string& losses = "")
{
    Team& team = teams().entry(p, s);
    team.region = static_cast<std::uint8_t>(p);
    team.seed = static_cast<std::uint8_t>(s);
    team.name = name;
    team.wins = wins;
    team.losses = losses;
}

// Every team named prefix + its code ("T101" ... "T416"), without a record.
inline void nameAllTeams(const std::string& prefix = "T")
{
    teams().clear();
    for (int p = 1; p <= 4; ++p)
        for (int s = 1; s <= 16; ++s) setTeam(p, s, prefix + std::to_string(p * 100 + s));
}

// Game g's pick is the g-th team, so every pick prints a text of its own.
inline TeamCode pickOf(int game)
{
    return makeTeamCode(static_cast<std::uint8_t>((game - 1) / 16 + 1), static_cast<std::uint8_t>((game - 1) % 16 + 1));
}

// A page with fixed metrics that records what is drawn: a character is as wide as the font's
// point size, a text cell twice as high (or cellHeight when set).
class FixedCanvas final : public PageCanvas {
public:
    struct Text {
        int x, y;
        std::string text;
        int points, style, page;
        int right() const { return x + static_cast<int>(text.size()) * points; }
    };

    FixedCanvas(int width, int height) : width(width), height(height) {}

    int width, height, points = 10, style = Regular, cellHeight = 0, page = 0;
    bool open = false;
    std::string face = "Default";
    std::vector<std::string> faces = {"Default"};  // the faces this "printer" has
    std::vector<Text> texts;
    std::vector<std::vector<int>> lines;  // x1, y1, x2, y2
    std::vector<std::string> events;      // begin, page, end

    int pageWidth() const override { return width; }
    int pageHeight() const override { return height; }
    bool selectFace(const std::string& name) override
    {
        if (std::find(faces.begin(), faces.end(), name) == faces.end()) return false;
        face = name;
        return true;
    }
    void setFont(int p, int s) override { points = p, style = s; }
    int textWidth(const std::string& text) const override { return static_cast<int>(text.size()) * points; }
    int textHeight(const std::string&) const override { return cellHeight > 0 ? cellHeight : 2 * points; }
    void textOut(int x, int y, const std::string& text) override { texts.push_back({x, y, text, points, style, page}); }
    void moveTo(int x, int y) override { penX = x, penY = y; }
    void lineTo(int x, int y) override
    {
        lines.push_back({penX, penY, x, y});
        moveTo(x, y);
    }
    void beginDoc() override { events.push_back("begin"), open = true, page = 1; }
    void newPage() override { events.push_back("page"), ++page; }
    void endDoc() override { events.push_back("end"), open = false; }
    bool printing() const override { return open; }

    // Each text as "text x,y points/style page", for comparing whole pages.
    std::vector<std::string> drawn() const
    {
        std::vector<std::string> out;
        for (const Text& t : texts)
            out.push_back(t.text + " " + std::to_string(t.x) + "," + std::to_string(t.y) + " " +
                          std::to_string(t.points) + "/" + std::to_string(t.style) + " " + std::to_string(t.page));
        return out;
    }

    const Text* find(const std::string& text) const
    {
        auto it = std::find_if(texts.begin(), texts.end(), [&](const Text& t) { return t.text == text; });
        return it == texts.end() ? nullptr : &*it;
    }

private:
    int penX = 0, penY = 0;
};
