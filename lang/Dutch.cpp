// Dutch string table (language index 5).
#include "lang/LanguageTable.h"

namespace {

constexpr char kTable[] = R"TABLE(
101	Openen
102	Vastleggen
103	OK
105	Afdrukken
106	Instellingen
107	Schermgrootte
108	Minimaliseren
109	Info
110	Tijd
111	Snelheid
112	Voorcamera
113	Achtercamera
114	Beide camera's
115	Vorig bestand
116	Terugspoelen
117	Afspelen
118	Pauze
119	Vooruitspoelen
120	Volgend bestand
121	Normale snelheid
122	Normale helderheid
123	Helderheid
124	Dempen
125	Volume
126	Kaart
128	Breedte
129	Lengte
130	Bestandenlijst
131	Alle
132	Gebeurtenis
133	Normaal
134	Parkeren
135	Nr.
136	Datum
137	Tijd
138	Type
143	Annuleren
145	 is opgeslagen.\nDe map met schermafbeeldingen openen?
148	Dashcam-instellingen
149	Geheugenkaart
150	Kies de geheugenkaart van de dashcam.
151	Kaart
152	Formatteren
153	Schokgevoeligheid
154	Hoe sterk een schok moet zijn om een gebeurtenisopname te starten.
155	Uit
156	Hoogst
157	Zeer hoog
158	Hoog
159	Gemiddeld
160	Laag
161	Zeer laag
163	Meer opties
164	Beeldsnelheid
167	Resolutie
168	Video
169	Kwaliteit
170	Hoog
171	Gemiddeld
172	Laag
173	Kanalen
174	Voor + achter
175	Alleen voor
176	Zet het scherm uit na de gekozen tijd.
177	Parkeerstroom
178	Stopt de opname zo lang nadat de motor is uitgezet.
179	Geluid
180	Geluidsopname
181	Geluid opnemen
182	Luidsprekervolume
183	Voertuigaccu
184	12V-voertuig
185	24V-voertuig
186	Afschakelspanning
187	Datum en tijd
188	Klok van de dashcam instellen
189	Viewer-instellingen
190	Map voor schermafbeeldingen
191	Schermafbeeldingen worden in deze map opgeslagen.
192	Map
193	Bladeren...
194	Spronginterval
195	Seconden die terug- en vooruitspoelen overslaan.
196	Standaard
199	Kiezen
200	Videobeelden
201	Beelden op de huidige positie
202	Voorcamera
203	Achtercamera
204	Locatie
205	G-sensor
206	G-sensorwaarden
208	Vergrootglas
209	Sluiten
210	Beweging
211	Achtercamera
212	Beeld achtercamera spiegelen
213	Er is geen geheugenkaart gekozen.\nAlleen de viewer-instellingen worden opgeslagen.
214	Altijd aan
215	1 minuut
216	3 minuten
217	5 minuten
220	10 minuten
227	Recente mappen:
228	Parkeerstand
229	Niet beschikbaar voor dit model.
230	Time-lapse
232	Bewegingsdetectie
234	Uitschakelen na
235	Alle gegevens op de geheugenkaart worden gewist.\nDe kaart nu formatteren?
236	Stil
237	Opnemen terwijl het voertuig geparkeerd staat.
241	Gevoeligheid
242	Rijwaarschuwingen
243	Uit
244	Aan
246	Model
247	Kies het model van uw dashcam.
248	Model
251	Er zijn geen opnamen gevonden.
254	Waarschuwingen tijdens het rijden.
255	Niet beschikbaar voor dit model.
256	Flitspaal- en rijstrookwaarschuwingen.
266	De opname kan niet worden afgespeeld.
270	Uit
272	Opname opslaan
273	Welkom
274	Open opnamen met de knop Openen
276	De opnamen worden gelezen.
277	Formatteren wordt op dit systeem niet ondersteund.
278	Formatteren mislukt
279	De geheugenkaart is geformatteerd.
280	Het formatteerscript kon niet worden gemaakt.
281	of sleep bestanden en mappen naar het venster.
282	Bij Instellingen stelt u de dashcam in.
283	Het afspelen begint met het eerste bestand.
284	Een ogenblik geduld.
285	Bestanden laden...
286	Er staat geen instellingenbestand van de dashcam op deze kaart.
287	Bestandsinformatie is er alleen voor een geheugenkaart van de dashcam.
288	Er zijn geen opnamen om te tonen.
289	De geheugenkaart wordt geformatteerd. Even geduld en verwijder de kaart niet.
290	De bestanden van de kaart konden niet worden teruggezet. Ze staan in deze map:\n%1
291	Volume %1 formatteren met FAT32 en het label "%2"?\nAlle gegevens erop worden gewist.
292	De geheugenkaart is niet meer bereikbaar. Controleer of de kaart nog is geplaatst.
293	Dit bureaublad staat geen schermopname toe, dus het vergrootglas kan het scherm niet tonen.
300	Taal
301	Het rapport kon niet worden afgedrukt.
302	Er is geen printer ingesteld. Het rapport kan in plaats daarvan als PDF-bestand worden opgeslagen.
320	De beelden van deze opname hebben een formaat dat de viewer niet kan afspelen (%1).
340	Het systeem weigerde toegang tot de geheugenkaart %1. Voor het openen van een kaart is toestemming van een beheerder van deze computer nodig.
341	De geheugenkaart %1 kan niet worden geopend: %2
342	%1 hoort bij het draaiende systeem of is in gebruik en wordt daarom niet geformatteerd.
360	De instellingen konden niet worden opgeslagen in %1.\n%2
361	De instellingen van de dashcam konden niet naar %1 worden geschreven.\n%2
362	De klok van de dashcam kon niet naar %1 worden geschreven.\n%2
363	De afbeelding kon niet worden opgeslagen als %1.\n%2
364	Het rapport kon niet worden opgeslagen als %1.\n%2
365	De opname kon niet worden opgeslagen als %1.\n%2
366	De opname kan niet worden voorbereid om af te spelen: de tijdelijke map %1 is vol.
367	De opname kan niet worden voorbereid om af te spelen: er kan niet worden geschreven in de tijdelijke map %1.\n%2
368	De schijf is vol.
369	Schrijven is daar niet toegestaan.
370	De schijf is alleen-lezen.
371	De map bestaat niet.
372	Het systeem meldt: %1
373	Het beschadigde bestand kan niet worden hersteld.
380	Begin markeren
381	Einde markeren
382	Clip exporteren...
383	Bewijspakket exporteren...
384	Clip exporteren
385	Bewijspakket exporteren
386	Bereik
387	%1 tot %2 (%3 s)
388	Indeling
389	Naast elkaar
390	Achtercamera in een hoek
391	In beeld
392	Snelheid
393	Positie
394	Hoog
395	Standaard
396	Opslaan in
397	Exporteren
398	nog %1
399	Bezig met exporteren...
400	Opgeslagen in %1
401	Het exporteren is mislukt: %1
402	Het exporteren is geannuleerd. Er is niets opgeslagen.
403	Markeer eerst het begin en het einde van het bereik: toetsen I en O, of Begin markeren en Einde markeren in het menu.
404	Dit bereik kan niet worden geëxporteerd: %1
405	%1 bevat al bestanden. Kies een nieuwe of lege map.
420	Tijdzone
421	Cameraklok (UTC+9)
422	Snelheidseenheid
423	km/u
424	mph
425	Snelheid en tijd
426	Snelheid
427	GPS-tijd
428	Toetsen en muis
429	Toets of muis
430	Actie
431	Afspelen of pauzeren
432	Vorige opname afspelen
433	Volgende opname afspelen
434	Harder
435	Zachter
436	Geluid uit of aan
437	Helderheid terug naar normaal
438	Afspeelsnelheid terug naar 1x
439	Vensterindeling wisselen
440	Opnamen openen
441	Deze lijst tonen
442	Viewer sluiten
443	Die opname afspelen
444	Naar dat moment springen
445	Afspeelmenu
446	Venster maximaliseren of herstellen
447	Spatiebalk
448	Pijl omhoog
449	Pijl omlaag
450	Dubbelklik op een opname in de lijst
451	Klikken of slepen op de tijdbalk
452	Rechtsklik op het beeld
453	Dubbelklik op de bovenbalk
454	Ctrl+Pijl rechts
455	Ctrl+Pijl links
456	Naar de volgende markering (sterke G-kracht of gebeurtenis)
457	Naar de vorige markering
458	Klikken op een markering van de tijdbalk
459	Naar het gemarkeerde moment springen
460	Markeringen op de tijdbalk
461	Horizontale G-kracht vanaf
462	Langzamer: 8, 4, 2, 1, 1/2, 1/4, 1/8 keer
463	Sneller: 1/8 tot 8 keer (zonder geluid onder 1/2 en boven 2)
464	Volgend beeld (bij pauze; ingedrukt houden herhaalt)
465	Vorig beeld (bij pauze; ingedrukt houden herhaalt)
470	Kaartfout melden
)TABLE";

}  // namespace

TARVO_LANGUAGE_LIBRARY(kTable)
