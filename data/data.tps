; Fabulor tips of the day: one tip per line. Lines starting with a space,
; a tab or ';' are skipped, so this header is never shown.
Press F7 (Wizard Creates) and the Wizard picks an Xform and all its parameters for you. It prefers the Xforms this picture has used least, so pressing F7 again and again tours them all.
Press F8 (Create) to draw a new idea with the current settings: the parameters stay, only the random seed is new.
Press F6 to choose the Xform yourself. Check "Wizard chooses" in that dialog to let the Wizard choose the Xform and its settings.
Press F9 to open the settings of the current Xform. Uncheck "Wizard chooses" there to set the parameters yourself; they then stay until you change them.
Walk through the ideas of a picture with Ctrl-Z (Back) and Ctrl-Y (Forward), or with the left and right arrow keys.
"Overview..." shows five thumbnails of the sequence around the current image. Double-click one to go straight to it.
The overview keeps thumbnails of the first 13 images of a picture; later ideas are still in the sequence and reachable with Back and Forward.
A drawing takes too long? Press Esc or the STOP button: the run stops and the unfinished image is dropped from the sequence.
Image Quality draws the idea on a canvas two or four times the size of your picture and then reduces it with anti-aliasing. Use Normal while exploring and High for the image you keep.
In the Image Quality dialog "Apply Now" redraws the image on show at the new quality at once; "Set" keeps the choice for the next ideas.
The final mix (Mix...) blends each new idea with your original picture. "Even Mix" keeps a fixed percentage of the original everywhere.
The mix modes Left Right, Top Bottom, Right Left and Bottom Top fade from the new idea into the original across the picture; the slider sets how sharp the change is.
The Circular and Elliptical mix modes keep the new idea in the centre and the original at the edges (Center Out), or the other way round (Outer In).
The Hsv mix mode keeps the new picture where the colours match the advanced selection. Click "Advanced Selection..." in the Mix dialog to set that colour.
Web fade (Web fade...) fades the image into a colour of your choice, for example the background colour of your web page. Type the colour as six hexadecimal digits or click "Choose...".
The advanced selection (Selection...) tells the Xforms where to act: pick a hue, saturation and value, and the preview shows in white where the Xform will work hardest.
Check "Invert" in the advanced selection to let the Xforms act where the colours are far from the selected colour instead of near it.
Raise the Smooth slider of the advanced selection to soften the edges between the areas where an Xform acts and where it holds back.
"Apply Now" in the Mix, Web fade and Selection dialogs redraws the picture on show with the new settings at once.
Every image is kept as a recipe, not as pixels: going back to an earlier idea draws it again exactly as it was.
Recently drawn images are kept in a disk cache, so walking back and forth through a sequence is quick.
Copy (Ctrl-C) puts the image on show on the clipboard; Paste (Ctrl-V) makes a new picture from the clipboard to play with.
Ctrl-I copies the image on show and pastes it as a new picture at once: the idea becomes the original of a whole new sequence.
Zoom the view with + and - on the numeric keypad; Ctrl-W returns to full size.
Double-click the picture to see its properties: the Xform that made it, its size, and its place in the sequence.
Fabulor reads BMP, JPG, TGA and PCX pictures and saves ideas in the same formats. JPG keeps files small; BMP keeps every pixel.
Mosaic rebuilds your picture from tiles. Choose "High Lighting" in its settings to give every tile lit edges from the direction you pick.
Large pictures take longer to draw, above all at High quality. Explore ideas on a smaller copy, then draw your favourite at full size.
Each open picture has its own sequence of ideas and its own settings: open several pictures to compare Xforms side by side.
Press F1 in any dialog for help about it.
