// English string table (language index 0).
#include "lang/LanguageTable.h"

namespace {

constexpr char kTable[] = R"TABLE(
101	Open
102	Capture
103	OK
105	Print
106	Settings
107	Screen size
108	Minimize
109	About
110	Time
111	Speed
112	Front camera
113	Rear camera
114	Both cameras
115	Previous file
116	Rewind
117	Play
118	Pause
119	Fast forward
120	Next file
121	Normal speed
122	Normal brightness
123	Brightness
124	Mute
125	Volume
126	Map
128	Lat
129	Long
130	File list
131	All
132	Event
133	Normal
134	Parking
135	No.
136	Date
137	Time
138	Type
143	Cancel
145	 has been saved.\nOpen the capture folder?
148	Dashcam settings
149	Memory card
150	Choose the memory card of the dashcam.
151	Card
152	Format
153	Impact sensitivity
154	How strong an impact must be to start an event recording.
155	Off
156	Highest
157	Very high
158	High
159	Medium
160	Low
161	Very low
163	More options
164	Frame rate
167	Resolution
168	Video
169	Quality
170	High
171	Medium
172	Low
173	Channels
174	Front + rear
175	Front only
176	Turns the screen off after the chosen time.
177	Parking power
178	Stops recording after the engine has been off this long.
179	Sound
180	Audio recording
181	Record audio
182	Speaker volume
183	Vehicle battery
184	12V vehicle
185	24V vehicle
186	Cut-off voltage
187	Date and time
188	Set the dashcam clock
189	Viewer settings
190	Capture folder
191	Still captures are saved in this folder.
192	Folder
193	Browse...
194	Jump interval
195	Seconds skipped by rewind and fast forward.
196	Default
199	Select
200	Video pictures
201	Pictures at the current position
202	Front camera
203	Rear camera
204	Location
205	G-sensor
206	G-sensor values
208	Magnifier
209	Close
210	Motion
211	Rear camera
212	Mirror the rear camera picture
213	No memory card is selected.\nOnly the viewer settings will be saved.
214	Always on
215	1 minute
216	3 minutes
217	5 minutes
220	10 minutes
227	Recent folders:
228	Parking mode
229	Not available for this model.
230	Time lapse
232	Motion detection
234	Power off after
235	All data on the memory card will be erased.\nFormat the card now?
236	Mute
237	Recording while the vehicle is parked.
241	Sensitivity
242	Driving alerts
243	Off
244	On
246	Model
247	Choose the model of your dashcam.
248	Model
251	No recordings were found.
254	Alerts while driving.
255	Not available for this model.
256	Speed camera and lane warnings.
266	The recording cannot be played.
270	Off
272	Save recording
273	Welcome
274	Open recordings with the Open button
276	Reading the recordings.
277	Formatting is not supported on this system.
278	Formatting failed
279	The memory card has been formatted.
280	The format script could not be created.
281	or drop files and folders onto the window.
282	Settings configures your dashcam.
283	Playback starts with the first file.
284	Please wait a moment.
285	Loading files...
286	There is no dashcam settings file on this card.
287	File information is only available for a dashcam memory card.
288	There are no recordings to show.
289	Formatting the memory card. Please wait and do not remove the card.
290	The card's files could not be put back on the card. They are kept in this folder:\n%1
291	Format the volume %1 with FAT32 and the label "%2"?\nAll data on it will be erased.
292	The memory card can no longer be reached. Check that it is still inserted.
293	This desktop does not allow screen capture, so the magnifier cannot show the screen.
300	Language
301	The report could not be printed.
302	No printer is set up. The report can be saved as a PDF file instead.
320	The pictures of this recording are in a format the viewer cannot play (%1).
340	The system refused access to the memory card %1. Opening a card needs permission from an administrator of this computer.
341	The memory card %1 cannot be opened: %2
342	%1 belongs to the running system or is in use, so it is not formatted.
360	The settings could not be saved in %1.\n%2
361	The dashcam settings could not be written to %1.\n%2
362	The dashcam clock could not be written to %1.\n%2
363	The picture could not be saved as %1.\n%2
364	The report could not be saved as %1.\n%2
365	The recording could not be saved as %1.\n%2
366	The recording cannot be prepared for playing: the temporary folder %1 is full.
367	The recording cannot be prepared for playing: the temporary folder %1 cannot be written.\n%2
368	The disk is full.
369	Writing there is not permitted.
370	The disk is read-only.
371	The folder does not exist.
372	The system reports: %1
373	The damaged file cannot be recovered.
380	Mark start
381	Mark end
382	Export clip...
383	Export evidence package...
384	Export clip
385	Export evidence package
386	Range
387	%1 to %2 (%3 s)
388	Layout
389	Side by side
390	Rear camera in a corner
391	Burned in
392	Speed
393	Position
394	High
395	Standard
396	Save to
397	Export
398	%1 left
399	Exporting...
400	Saved in %1
401	The export failed: %1
402	The export was cancelled. Nothing was saved.
403	Set the start and the end of the range first: keys I and O, or Mark start and Mark end in the menu.
404	This range cannot be exported: %1
405	%1 already holds files. Choose a new or empty folder.
420	Time zone
421	Camera clock (UTC+9)
422	Speed unit
423	km/h
424	mph
425	Speed and time
426	Speed
427	GPS time
428	Keys and mouse
429	Key or mouse
430	Action
431	Play or pause
432	Play the previous recording
433	Play the next recording
434	Volume up
435	Volume down
436	Sound off or on
437	Brightness back to normal
438	Playback speed back to 1x
439	Switch the window layout
440	Open recordings
441	Show this list
442	Close the viewer
443	Play that recording
444	Jump to that moment
445	Playback menu
446	Maximise or restore the window
447	Space
448	Up arrow
449	Down arrow
450	Double-click a recording in the list
451	Click or drag on the seek bar
452	Right-click the picture
453	Double-click the top bar
454	Ctrl+Right arrow
455	Ctrl+Left arrow
456	Jump to the next marker (hard G or event)
457	Jump to the previous marker
458	Click a marker on the seek bar
459	Jump to the marked moment
460	Seek bar markers
461	Horizontal G above
462	Slower: 8, 4, 2, 1, 1/2, 1/4, 1/8 times
463	Faster: 1/8 up to 8 times (silent below 1/2 and above 2)
464	Next frame (while paused; hold to repeat)
465	Previous frame (while paused; hold to repeat)
470	Report a map error
)TABLE";

}  // namespace

TARVO_LANGUAGE_LIBRARY(kTable)
