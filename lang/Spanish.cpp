// Spanish string table (language index 11).
#include "lang/LanguageTable.h"

namespace {

constexpr char kTable[] = R"TABLE(
101	Abrir
102	Capturar
103	Aceptar
105	Imprimir
106	Configuración
107	Tamaño de pantalla
108	Minimizar
109	Acerca de
110	Tiempo
111	Velocidad
112	Cámara delantera
113	Cámara trasera
114	Ambas cámaras
115	Archivo anterior
116	Retroceder
117	Reproducir
118	Pausa
119	Avanzar
120	Archivo siguiente
121	Velocidad normal
122	Brillo normal
123	Brillo
124	Silencio
125	Volumen
126	Mapa
128	Lat
129	Long
130	Archivos
131	Todos
132	Evento
133	Normal
134	Aparcamiento
135	N.º
136	Fecha
137	Hora
138	Tipo
143	Cancelar
145	 se ha guardado.\n¿Abrir la carpeta de capturas?
148	Ajustes de la dashcam
149	Tarjeta de memoria
150	Elija la tarjeta de memoria de la dashcam.
151	Tarjeta
152	Formatear
153	Sensibilidad a impactos
154	Fuerza del impacto que inicia una grabación de evento.
155	Desactivado
156	Máxima
157	Muy alta
158	Alta
159	Media
160	Baja
161	Muy baja
163	Más opciones
164	Fotogramas por segundo
167	Resolución
168	Vídeo
169	Calidad
170	Alta
171	Media
172	Baja
173	Canales
174	Delantera + trasera
175	Solo delantera
176	Apaga la pantalla tras el tiempo elegido.
177	Alimentación aparcado
178	Detiene la grabación este tiempo después de apagar el motor.
179	Sonido
180	Grabación de audio
181	Grabar audio
182	Volumen del altavoz
183	Batería del vehículo
184	Vehículo de 12 V
185	Vehículo de 24 V
186	Tensión de corte
187	Fecha y hora
188	Ajustar el reloj de la dashcam
189	Ajustes del visor
190	Carpeta de capturas
191	Las capturas se guardan en esta carpeta.
192	Carpeta
193	Examinar...
194	Intervalo de salto
195	Segundos que saltan retroceder y avanzar.
196	Predeterminado
199	Seleccionar
200	Imágenes de vídeo
201	Imágenes en la posición actual
202	Cámara delantera
203	Cámara trasera
204	Ubicación
205	Sensor G
206	Valores del sensor G
208	Lupa
209	Cerrar
210	Movimiento
211	Cámara trasera
212	Reflejar la imagen trasera
213	No se ha elegido ninguna tarjeta de memoria.\nSolo se guardarán los ajustes del visor.
214	Siempre encendida
215	1 minuto
216	3 minutos
217	5 minutos
220	10 minutos
227	Carpetas recientes:
228	Modo aparcamiento
229	No disponible para este modelo.
230	Time-lapse
232	Detección de movimiento
234	Apagar después de
235	Se borrarán todos los datos de la tarjeta de memoria.\n¿Formatear la tarjeta ahora?
236	Silencio
237	Grabación con el vehículo aparcado.
241	Sensibilidad
242	Avisos de conducción
243	Desactivado
244	Activado
246	Modelo
247	Elija el modelo de su dashcam.
248	Modelo
251	No se han encontrado grabaciones.
254	Avisos durante la conducción.
255	No disponible para este modelo.
256	Avisos de radar y de carril.
266	No se puede reproducir la grabación.
270	Desactivado
272	Guardar grabación
273	Bienvenido
274	Abra grabaciones con el botón Abrir
276	Leyendo las grabaciones.
277	El formateo no es compatible con este sistema.
278	Error al formatear
279	La tarjeta de memoria se ha formateado.
280	No se pudo crear el script de formateo.
281	o arrastre archivos y carpetas a la ventana.
282	En Configuración se ajusta la dashcam.
283	La reproducción empieza por el primer archivo.
284	Espere un momento.
285	Cargando archivos...
286	Esta tarjeta no tiene el archivo de ajustes de la dashcam.
287	La información de archivos solo existe para una tarjeta de dashcam.
288	No hay grabaciones que mostrar.
289	Formateando la tarjeta de memoria. Espere y no retire la tarjeta.
290	No se pudieron devolver los archivos a la tarjeta. Se guardan en esta carpeta:\n%1
291	¿Formatear el volumen %1 en FAT32 con la etiqueta "%2"?\nSe borrarán todos sus datos.
292	No se puede acceder a la tarjeta de memoria. Compruebe que sigue insertada.
293	Este escritorio no permite capturar la pantalla, por lo que la lupa no puede mostrarla.
300	Idioma
301	No se pudo imprimir el informe.
302	No hay ninguna impresora configurada. El informe se puede guardar como archivo PDF.
320	Las imágenes de esta grabación están en un formato que el visor no puede reproducir (%1).
340	El sistema denegó el acceso a la tarjeta de memoria %1. Para abrir una tarjeta se necesita el permiso de un administrador de este equipo.
341	No se puede abrir la tarjeta de memoria %1: %2
342	%1 pertenece al sistema en ejecución o está en uso, por lo que no se formatea.
360	No se pudieron guardar los ajustes en %1.\n%2
361	No se pudieron escribir los ajustes de la dashcam en %1.\n%2
362	No se pudo escribir el reloj de la dashcam en %1.\n%2
363	No se pudo guardar la imagen como %1.\n%2
364	No se pudo guardar el informe como %1.\n%2
365	No se pudo guardar la grabación como %1.\n%2
366	No se puede preparar la grabación para reproducirla: la carpeta temporal %1 está llena.
367	No se puede preparar la grabación para reproducirla: no se puede escribir en la carpeta temporal %1.\n%2
368	El disco está lleno.
369	No se permite escribir ahí.
370	El disco es de solo lectura.
371	La carpeta no existe.
372	El sistema informa: %1
373	No se puede recuperar el archivo dañado.
380	Marcar inicio
381	Marcar final
382	Exportar clip...
383	Exportar paquete de pruebas...
384	Exportar clip
385	Exportar paquete de pruebas
386	Intervalo
387	de %1 a %2 (%3 s)
388	Disposición
389	Lado a lado
390	Cámara trasera en una esquina
391	Sobreimpreso
392	Velocidad
393	Posición
394	Alta
395	Estándar
396	Guardar en
397	Exportar
398	quedan %1
399	Exportando...
400	Guardado en %1
401	No se pudo exportar: %1
402	Se canceló la exportación. No se guardó nada.
403	Marque primero el inicio y el final del intervalo: teclas I y O, o Marcar inicio y Marcar final en el menú.
404	Este intervalo no se puede exportar: %1
405	%1 ya contiene archivos. Elija una carpeta nueva o vacía.
420	Zona horaria
421	Reloj de la cámara (UTC+9)
422	Unidad de velocidad
423	km/h
424	mph
425	Velocidad y hora
426	Velocidad
427	Hora GPS
428	Teclas y ratón
429	Tecla o ratón
430	Acción
431	Reproducir o pausar
432	Reproducir la grabación anterior
433	Reproducir la grabación siguiente
434	Subir el volumen
435	Bajar el volumen
436	Quitar o poner el sonido
437	Restablecer el brillo
438	Velocidad de reproducción a 1x
439	Cambiar la disposición de la ventana
440	Abrir grabaciones
441	Mostrar esta lista
442	Cerrar el visor
443	Reproducir esa grabación
444	Saltar a ese momento
445	Menú de reproducción
446	Maximizar o restaurar la ventana
447	Espacio
448	Flecha arriba
449	Flecha abajo
450	Doble clic en una grabación de la lista
451	Clic o arrastre en la barra de avance
452	Clic derecho en la imagen
453	Doble clic en la barra superior
454	Ctrl+Flecha derecha
455	Ctrl+Flecha izquierda
456	Saltar a la marca siguiente (fuerza G fuerte o evento)
457	Saltar a la marca anterior
458	Clic en una marca de la barra de avance
459	Saltar al momento marcado
460	Marcas de la barra de avance
461	G horizontal mayor que
462	Más lento: 8, 4, 2, 1, 1/2, 1/4, 1/8 veces
463	Más rápido: de 1/8 a 8 veces (sin sonido por debajo de 1/2 y por encima de 2)
464	Fotograma siguiente (en pausa; mantener pulsado para repetir)
465	Fotograma anterior (en pausa; mantener pulsado para repetir)
470	Informar de un error en el mapa
)TABLE";

}  // namespace

TARVO_LANGUAGE_LIBRARY(kTable)
