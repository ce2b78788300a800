#include "app/TutorialPages.h"

#include <initializer_list>

namespace kv::app {

namespace {

// A page's text: its paragraphs with an empty line between them.
std::string Paragraphs(std::initializer_list<const char*> paragraphs)
{
    std::string text;
    for (const char* paragraph : paragraphs) {
        if (!text.empty()) text += "\n\n";
        text += paragraph;
    }
    return text;
}

std::array<TutorialPage, kTutorialPageCount> BuildPages()
{
    return {{
        {"Step-by-Step Procedure Instructions",
         Paragraphs({
             "Welcome to KV! KV builds complete outdoor scenes for trueSpace. From a heightfield bitmap (a picture "
             "whose brightness gives the height of the land) and a trees and rocks bitmap (a picture whose coloured "
             "dots mark where trees and rocks stand) it writes a trueSpace scene file (.scn) holding the terrain, a "
             "sky dome, a fog dome, an ocean if you want one, lights, a sun, a camera and every tree and rock, "
             "together with all the texture and bump map images the scene needs.",
             "This procedure walks you through every input of the KV window, one step per page. Along the way it "
             "explains the anatomy of a KV scene - which objects it holds and how they belong together - and lists "
             "every file that KV creates.",
             "Click Next to go on to the next page and Back to return to the previous one; Exit closes the "
             "procedure. The KV window stays usable while this window is open, so you can carry out each step while "
             "you read about it.",
             "The steps assume that KV shows its initial values. If you have changed any parameters since you "
             "started KV, close KV and start it again before you go on, so that the initial values are in place.",
             "Once you are through, try the three sample settings files that come with KV: click Load and open "
             "sample1.kv (a red desert canyon), sample2.kv (a mountain lake below snowy peaks) or sample3.kv (a "
             "tropical island with palm trees, rocks and a wavy ocean) from the KV program directory, then click "
             "Create to build the scene.",
         })},

        {"Step #1 - The Heightfield Bitmap",
         Paragraphs({
             "At the heart of KV lies a heightfield generator. It reads a heightfield bitmap and turns it into a 3D "
             "terrain object: every pixel of the bitmap becomes one vertex of the terrain, and the pixel says how "
             "high that vertex lies.",
             "The heightfield bitmap must be square (as many pixels wide as high) and one of:\n"
             "- a bitmap file (.bmp), 24 bit colour, uncompressed,\n"
             "- a PNG picture (.png), grey or colour, 8 or 16 bits a sample; 16 bits give the smoothest land.\n"
             "KV can also build the land from elevation data (a GeoTIFF, an SRTM .hgt tile or an ESRI ASCII grid): "
             "it takes the central square, fits it to the texture resolution and maps the lowest to the highest "
             "ground onto the full height, with everything at or below sea level flat at the bottom. KV tells the "
             "kind of file from what it holds, not from its name.",
             "The height of each vertex comes from the RGB value of its pixel: red, green and blue are added up, so "
             "black is the lowest ground and white the highest peak. Grey pictures are the easiest to paint, but "
             "any colours will do. The terrain always spans 10 units square and rises at most about 3.3 units, "
             "whatever the size of the bitmap: a bigger bitmap gives more detail, not a bigger landscape.",
             "The terrain object has two parts. The detail part is the grid of vertices made from the bitmap. Around "
             "it lies the surround, a flat square 200 units across that reaches out to the horizon, so that the "
             "landscape does not end at a cliff. Each part gets its own texture and bump map (see the next step).",
             "The two outer pixels all round the bitmap are treated as black (to be exact: two pixels at the left "
             "and top edges, one at the right and bottom edges), so the edges of the terrain always come down to "
             "the level of the surround.",
             "KV comes with three sample heightfields in its program directory: height01.bmp (100x100 pixels), "
             "height02.bmp (50x50) and height03.bmp (128x128). The number of faces grows with the square of the "
             "bitmap's size: a 50x50 bitmap gives a terrain of 4807 faces, 100x100 gives 19,607 and 128x128 gives "
             "32,263. Start small; large bitmaps make large scene files.",
             "To choose the heightfield, click the Browse button in the Base Material group and pick the bitmap; its "
             "name appears in the box above the button. KV reads the file only when you preview or create, so a "
             "bitmap that breaks one of the rules above is reported then. For now, keep height01.bmp.",
         })},

        {"Step #2 - The Base Material",
         Paragraphs({
             "KV dresses the terrain with four images that it computes from the heights and slopes of the land and "
             "from your choices: tex1.jpg (the texture map of the detail part), bump1.jpg (its bump map), tex2.jpg "
             "(the texture map of the surround) and bump2.jpg (its bump map). They are mapped onto the terrain "
             "straight from the top, like a photograph taken from high above: tex1.jpg and bump1.jpg cover the "
             "detail part exactly once, while tex2.jpg and bump2.jpg repeat across the surround.",
             "The texture is built up from three layers: the base material covers all of the terrain, the cover1 "
             "material lies on top of it and the cover2 material on top of both. This step is about the base "
             "material; the covers follow in steps 4 and 6.",
             "Each material has three colours, shown in the colour boxes of its group. The material's pattern "
             "blends between them: its darkest parts take Color 1, the middle tones Color 2 and the lightest parts "
             "Color 3. To change a colour, double click its colour box. The RGB dialog pops up with three bars for "
             "red, green and blue: click or drag in a bar to set that component from 0 (left end) to 255 (right "
             "end), and the swatch on the right shows the result. Click OK to keep the colour or Cancel to leave it "
             "as it was.",
             "Choose the base material from the dropdown list:\n"
             "- jagged rock: a grainy rock pattern with a rough bump map;\n"
             "- smooth rock: the same rock pattern with a gentler bump map;\n"
             "- jagged strata: bands of colour that follow the contour lines of the terrain, like layers of "
             "sedimentary rock, with a rough bump map;\n"
             "- smooth strata: the same bands with a gentler bump map.\n"
             "The jagged and smooth variants of a material have the same colours; they differ only in their bump "
             "maps, that is, in how rough the ground looks when it is rendered.",
             "Select jagged rock from the list now.",
         })},

        {"Step #3 - The Preview Function",
         Paragraphs({
             "Creating a scene takes a while, so KV lets you look at the terrain texture first. Click the Preview "
             "button: KV computes tex1.jpg at a small size (288x288 pixels) from all your current settings and "
             "shows it in a window in the middle of the screen. Nothing is written to disk.",
             "The preview shows the terrain as seen from straight above. Click anywhere on the preview image to "
             "close it.",
             "Try it out: change a base colour or two, pick another base material and preview again. Then use "
             "Browse to choose height02.bmp or height03.bmp and see how the texture follows the shape of the land. "
             "When you are done, choose height01.bmp again and set the base material back to jagged rock.",
         })},

        {"Step #4 - Adding a Cover1 Material",
         Paragraphs({
             "A cover material lies over the base material wherever the ground suits it: grass on flat valley "
             "floors, scree on steep slopes, snow on the peaks. Five parameters in the Cover 1 Material group decide "
             "what cover1 looks like and where it lies:\n"
             "- Color 1, Color 2 and Color 3: the colours of the cover, set as for the base material;\n"
             "- the pattern, chosen from the dropdown list;\n"
             "- Altitude: the range of heights where the cover may lie;\n"
             "- Slope: the range of steepness where the cover may lie;\n"
             "- Density: how much of that ground the cover fills.",
             "The eight patterns are: none (no cover at all), gritty (a fine random grain), patchy (irregular "
             "patches), streaky (long streaks), blotchy (larger blotches), and gritty-patchy, gritty-streaky and "
             "gritty-blotchy, which mix the grain with patches, streaks or blotches.",
             "Altitude and slope are ranges with two markers each, which you drag with the mouse along their "
             "scale. Both run from 0 to 100: altitude 0 is the lowest point of the terrain and 100 the highest; "
             "slope 0 is flat ground and 100 the steepest. While you drag a marker, the label above the scale shows "
             "the range as two numbers, for example \"0 - 100\"; when you let go it shows its name again. The two "
             "markers of a range can meet but never pass each other. The cover settles most readily in the middle "
             "of its ranges and less towards their edges; a range that starts at 0 or ends at 100 stays full "
             "towards that end.",
             "Now add some grass. Choose gritty-patchy as the cover1 pattern, leave the altitude range at 0 - 100 "
             "and drag the right slope marker to the left until the label reads 0 - 10, so that the grass grows "
             "only on nearly flat ground. The initial cover1 colours are already shades of green.",
             "Density runs from 0 (no cover at all) to 100 (the cover fills as much of its ground as it can); its "
             "marker starts at 50. Use Preview to find a good value: if the grass looks thin, drag the Density "
             "marker to the right; if it hides too much of the rock, drag it to the left. Small changes of the "
             "ranges and the density can make a big difference, so preview often.",
         })},

        {"Step #5 - Saving and Loading KV Files",
         Paragraphs({
             "Now is a good moment to save your work. Click Save and choose a name: KV writes all of its parameters "
             "- the two bitmaps, every list choice, every slider and every colour - into a small text file with the "
             "extension .kv, which is added for you if you leave it out.",
             "Click Load and pick a .kv file to bring all of its parameters back: every list, check box, slider and "
             "colour box of the KV window and the atmosphere preview are updated at once. If a bitmap named in the "
             "file cannot be found any more, KV tells you so and lets you pick another one.",
             "A .kv file stores where the bitmaps are, not the bitmaps themselves, so keep your heightfield and "
             "trees and rocks bitmaps where they are. The three sample files sample1.kv, sample2.kv and sample3.kv "
             "are .kv files like any other.",
         })},

        {"Step #6 - Adding a Cover2 Material",
         Paragraphs({
             "The Cover 2 Material group works exactly like the Cover 1 Material group: three colours, a pattern, "
             "an altitude range, a slope range and a density. Cover2 is laid on top of cover1: where both would "
             "lie, cover2 wins.",
             "A second cover is handy for snow on the highest peaks (altitude 80 - 100), bare scree on the steepest "
             "slopes (slope 70 - 100) or dry soil in the lowest valleys.",
             "For this procedure, leave cover2 at none.",
         })},

        {"Step #7 - The Atmosphere",
         Paragraphs({
             "Every KV scene lies under two domes. The atmos object is a large dome 200 units across that carries "
             "the sky and clouds texture atmos.jpg. Just inside it lies the fog object, a second dome carrying "
             "fog.tga, a strip of the fog colour that fades from thick haze near the horizon to clear sky "
             "overhead, so that the far distance melts into the haze.",
             "The Atmosphere group sets up both textures with the Sky, Clouds and Fog colour boxes and the clouds "
             "list. The picture below the list is the atmosphere preview: it shows what the sky will look like, "
             "from the clouds high above at its top down to the hazy horizon at its bottom. It updates itself "
             "whenever you choose other clouds or change one of the three colours.",
             "Colours can also be copied from one colour box to another by drag and drop: press the left mouse "
             "button on a colour box, move to another colour box and let go. The cursor carries a small swatch of "
             "the colour while you drag. This works between all thirteen colour boxes of the KV window, for "
             "example to give the fog the colour of the sky or to share a colour between two materials; let go "
             "anywhere else and nothing changes.",
             "The four cloud types are:\n"
             "- clear: a clear sky with a few faint wisps;\n"
             "- cloudy: a sky full of soft clouds;\n"
             "- ominous: a heavy overcast with a few gaps;\n"
             "- puffy: small, round fair-weather clouds.",
         })},

        {"Step #8 - The Ocean",
         Paragraphs({
             "The ocean is a flat, partly transparent plane 200 units across that lies just above the lowest ground "
             "of the terrain. Wherever the terrain is lower - the darkest parts of the heightfield - it is under "
             "water, so dark valleys become lakes and bays, and the whole surround becomes open sea.",
             "Its colour is set with the Color box of the Ocean group, like any other colour box. The waves are "
             "chosen from the list:\n"
             "- none: no ocean at all;\n"
             "- flat: a still surface without a bump map;\n"
             "- calm: gentle ripples;\n"
             "- rippled: stronger ripples;\n"
             "- wavy: large waves.\n"
             "Calm, rippled and wavy oceans use the bump map ripple.jpg, which KV copies into the scene directory.",
             "For this procedure, leave the ocean at none.",
         })},

        {"Step #9 - Adding Trees and Rocks",
         Paragraphs({
             "KV has a library of twelve objects - four rocks and eight trees - that it can place on the terrain. "
             "Where they go is painted into a second bitmap, the trees and rocks bitmap: every pixel that has "
             "exactly one of the twelve marker colours puts one object of that kind onto the terrain at that spot. "
             "Pixels of any other colour place nothing.",
             "The objects, their marker colours (red, green, blue) and the image files they use:\n"
             "- Boulder - (255,0,0) - rocktex.jpg, rockbump.jpg\n"
             "- Flatrock - (196,0,0) - rocktex.jpg, rockbump.jpg\n"
             "- Rock - (128,0,0) - rocktex.jpg, rockbump.jpg\n"
             "- Pebbles - (64,0,0) - rocktex.jpg, rockbump.jpg\n"
             "- Fern - (0,255,0) - fern.tga\n"
             "- Cactus - (0,196,0) - cactus.jpg, cactbump.jpg\n"
             "- Evergreen - (0,128,0) - ever.tga, bark.jpg\n"
             "- Fir - (0,64,0) - fir.tga, bark.jpg\n"
             "- Palmtree - (0,0,255) - palmtree.jpg, palmbark.jpg, palmleaf.tga\n"
             "- Birch - (0,0,196) - birch.jpg\n"
             "- Deadtree1 - (0,0,128) - bark.jpg\n"
             "- Deadtree2 - (0,0,64) - bark.jpg",
             "KV copies a tree's image files from its program directory into the scene directory only when the "
             "scene holds that kind of tree. rocktex.jpg and rockbump.jpg are computed from the colours of the base "
             "material whenever the scene holds rocks, so the rocks match the land they lie on.",
             "The trees and rocks bitmap must be:\n"
             "- a bitmap file (.bmp), 24 bit colour, uncompressed, or a PNG picture (.png) in 8 bit colour,\n"
             "- exactly the same size as the heightfield.\n"
             "Each of its pixels stands on the terrain vertex of the same pixel of the heightfield, so the easiest "
             "way to make one is to paint the markers onto a copy of the heightfield. Paint them as single pixels "
             "of the exact colours: blended or smoothed pixels place nothing.",
             "A scene always needs a trees and rocks bitmap. If you want no trees or rocks at all, choose the "
             "heightfield bitmap itself: a grey heightfield holds none of the marker colours.",
             "Choose the bitmap with the Browse button in the Trees & Rocks group. The Tree Size and Rock Size "
             "sliders below it set how big the trees and rocks are compared with the terrain; every object also "
             "gets a random turn and some random variation in size, so no two look quite the same.",
             "KV comes with the sample trees and rocks bitmap tree01.bmp, made for height01.bmp: it places all "
             "twelve objects, each where it suits the land - palms near the shore, firs and evergreens on the "
             "mountain sides, rocks on the steepest slopes. Keep it selected.",
         })},

        {"Step #10 - Creating the Scene and Texture Files",
         Paragraphs({
             "The last choice is the resolution of the terrain's texture and bump maps, set with the three check "
             "boxes in the Base Material group:\n"
             "- Lo Res: 576x576 pixels,\n"
             "- Med Res: 1152x1152 pixels,\n"
             "- Hi Res: 2304x2304 pixels.\n"
             "Higher resolutions show more detail when the camera comes close to the ground, but they take much "
             "longer to compute and make much larger files. Start with the lowest resolution while you try things "
             "out, and switch to a higher one for the final scene.",
             "Now click Create. KV asks for the name and directory of the scene file; the extension .scn is added "
             "if you leave it out. Choose a directory other than the KV program directory: KV refuses its own "
             "directory so that its stock files are never overwritten. All texture and bump map files are written "
             "into the same directory as the scene.",
             "While KV works, the Stop button and the window title show how far it has come, for example "
             "\"Stop - 40%\". Click Stop to end the creation early. When everything is written, KV lists the files "
             "it has created.",
             "Files of the same name in the scene directory are overwritten. Give each scene a directory of its own "
             "to keep scenes and their images apart.",
         })},

        {"KV Object List and Heirarchy",
         Paragraphs({
             "Every KV scene has the same structure. These are its objects as the scene file names them, each "
             "indented under the object it belongs to:",
             "scene\n"
             "    atmos (the sky dome)\n"
             "    fog (the fog dome)\n"
             "    ocean (only when an ocean is chosen)\n"
             "    lights (the ambient light)\n"
             "        InfLight,3\n"
             "        InfLight,1\n"
             "        InfLight,2\n"
             "        InfLight\n"
             "    sun (the key light, with raytraced shadows)\n"
             "    YOU (the camera)\n"
             "    earth\n"
             "        terrain\n"
             "        rocks\n"
             "            boulder\n"
             "            flatrock\n"
             "            rock\n"
             "            pebbles\n"
             "        trees\n"
             "            fern\n"
             "            cactus\n"
             "            evergreen\n"
             "            fir\n"
             "            palmtree\n"
             "            birch\n"
             "            deadtree1\n"
             "            deadtree2",
             "The rocks and trees groups hold one object for every marker pixel of the trees and rocks bitmap, so a "
             "kind can appear many times or not at all; all objects of one kind carry the same name.",
             "Click Next to continue on to the next step in this procedure.",
         })},

        {"KV Texture and Bumpmap List",
         Paragraphs({
             "These are the image files that KV writes into the scene directory, with the object each belongs to:\n"
             "- tex1.jpg - terrain: texture map of the detail part\n"
             "- bump1.jpg - terrain: bump map of the detail part\n"
             "- tex2.jpg - terrain: texture map of the surround\n"
             "- bump2.jpg - terrain: bump map of the surround\n"
             "- atmos.jpg - atmos: sky and clouds\n"
             "- fog.tga - fog: the haze\n"
             "- ripple.jpg - ocean: bump map of the waves\n"
             "- rocktex.jpg - boulder, flatrock, rock, pebbles: texture map\n"
             "- rockbump.jpg - boulder, flatrock, rock, pebbles: bump map\n"
             "- palmtree.jpg - palmtree: texture map of the trunk\n"
             "- palmbark.jpg - palmtree: bump map of the trunk\n"
             "- palmleaf.tga - palmtree: leaves\n"
             "- fern.tga - fern: leaves\n"
             "- ever.tga - evergreen: branches\n"
             "- fir.tga - fir: branches\n"
             "- bark.jpg - evergreen, fir, deadtree1, deadtree2: bark\n"
             "- birch.jpg - birch: texture map\n"
             "- cactus.jpg - cactus: texture map\n"
             "- cactbump.jpg - cactus: bump map",
             "The first six are written for every scene. The others appear only when the scene needs them: "
             "ripple.jpg for a calm, rippled or wavy ocean, the rock textures when rocks were placed, and each "
             "tree's files when that kind of tree was placed. Keep them together with the scene file in its "
             "directory.",
             "Congratulations - you've made it! This tutorial is finally over!",
             "The rest is up to you . . .",
         })},
    }};
}

}  // namespace

const std::array<TutorialPage, kTutorialPageCount>& TutorialPages()
{
    static const std::array<TutorialPage, kTutorialPageCount> pages = BuildPages();
    return pages;
}

}  // namespace kv::app
